// The wheel-lines worker: the system call it makes and the line it writes.
#include "engine/wheel_lines.h"

#include "engine/smooth_scroller.h"
#include "tests/support/engine_state.h"

#include "platform/registry.h"
#include "platform/sim_desktop.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>

namespace {

// Collects what the workers write to std::cout. The workers run on threads of their own,
// so every access is locked; the end of each line is a flush, which the test waits for.
class LockedCapture : public std::streambuf {
public:
    std::string text() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_text;
    }
    int flushes() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_flushes;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_text.clear();
        m_flushes = 0;
    }

protected:
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_text.push_back(traits_type::to_char_type(c));
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char *s, std::streamsize n) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_text.append(s, static_cast<std::size_t>(n));
        return n;
    }
    int sync() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_flushes;
        return 0;
    }

private:
    mutable std::mutex m_mutex;
    std::string m_text;
    int m_flushes = 0;
};

class WheelLines : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimDesktop::instance().reset();
        static QTemporaryDir registryRoot;
        qputenv(kRegistryRootVariable, registryRoot.path().toLocal8Bit());
        setStored("WheelScrollLines", {});
        setStored("WheelScrollChars", {});
        // Outlives any worker that is still leaving its last statement.
        static LockedCapture capture;
        m_capture = &capture;
        m_capture->clear();
        m_previous = std::cout.rdbuf(m_capture);
    }
    void TearDown() override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::cout.rdbuf(m_previous);
        restoreWheelScrollLines(); // forgets the value it kept, for the next test
        resetEngineState();
    }

    // Stores a value in the user's profile; an empty one removes it.
    static void setStored(const char *name, const QString &value)
    {
        const auto key = openRegistryKey(SimDesktop::kDesktopKey);
        if (value.isEmpty())
            key->remove(QString::fromLatin1(name));
        else
            key->setValue(QString::fromLatin1(name), value);
    }
    static QVariant stored(const char *name)
    {
        return openRegistryKey(SimDesktop::kDesktopKey)->value(QString::fromLatin1(name));
    }

    // Waits until n lines have been completed, or gives up after a few seconds.
    bool waitForLines(int n)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (m_capture->flushes() < n) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    LockedCapture *m_capture = nullptr;
    std::streambuf *m_previous = nullptr;
};

const std::string kSuccessLine = std::string("Set params success") + '\xA3' + '\xA1' + '\n';

TEST_F(WheelLines, QuickTogglesRunTwoWorkersThatEachWriteOneLine)
{
    applyWheelScrollLines();
    applyWheelScrollLines();

    ASSERT_TRUE(waitForLines(2)) << m_capture->text();
    EXPECT_EQ(m_capture->text(), kSuccessLine + kSuccessLine);
    SimDesktop &sim = SimDesktop::instance();
    EXPECT_EQ(sim.wheelScrollLines(), 1u);
    EXPECT_EQ(sim.wheelScrollChars(), 1u);
    // The values before, read once, and two changes of each.
    EXPECT_EQ(sim.systemParametersCalls(), 6);
    // For the session only: the user's stored values are never written.
    EXPECT_EQ(sim.systemParametersFlags(SPI_SETWHEELSCROLLLINES), UINT(SPIF_SENDCHANGE));
    EXPECT_EQ(sim.systemParametersFlags(SPI_SETWHEELSCROLLCHARS), UINT(SPIF_SENDCHANGE));
    EXPECT_FALSE(stored("WheelScrollLines").isValid());
    EXPECT_FALSE(stored("WheelScrollChars").isValid());
}

TEST_F(WheelLines, QuitPutsBackTheStoredValuesNotTheSessions)
{
    SimDesktop &sim = SimDesktop::instance();
    // An earlier run that was killed left 1 for the session; the profile keeps 4 and 5.
    setStored("WheelScrollLines", QStringLiteral("4"));
    setStored("WheelScrollChars", QStringLiteral("5"));
    sim.setWheelScrollLines(1);
    sim.setWheelScrollChars(1);
    applyWheelScrollLines();
    ASSERT_TRUE(waitForLines(1));
    restoreWheelScrollLines();
    EXPECT_EQ(sim.wheelScrollLines(), 4u);
    EXPECT_EQ(sim.wheelScrollChars(), 5u);
    EXPECT_EQ(sim.systemParametersFlags(SPI_SETWHEELSCROLLLINES), UINT(SPIF_SENDCHANGE));
    EXPECT_EQ(stored("WheelScrollLines"), QStringLiteral("4"));

    // A page per notch is stored as -1. A profile without the characters: what the session
    // had before the first change.
    setStored("WheelScrollLines", QStringLiteral("-1"));
    setStored("WheelScrollChars", {});
    sim.setWheelScrollChars(7);
    applyWheelScrollLines();
    ASSERT_TRUE(waitForLines(2));
    EXPECT_EQ(sim.wheelScrollChars(), 1u);
    restoreWheelScrollLines();
    EXPECT_EQ(sim.wheelScrollLines(), 0xFFFFFFFFu); // WHEEL_PAGESCROLL
    EXPECT_EQ(sim.wheelScrollChars(), 7u);
}

TEST_F(WheelLines, RefusedChangeWritesTheErrorCodeOnItsLine)
{
    SimDesktop::instance().failSystemParameters(ERROR_ACCESS_DENIED);

    applyWheelScrollLines();

    ASSERT_TRUE(waitForLines(1)) << m_capture->text();
    EXPECT_EQ(m_capture->text(), "Set params error5\n");
    EXPECT_EQ(SimDesktop::instance().wheelScrollLines(), 3u);
}

TEST_F(WheelLines, EngineThatCannotStartPutsBackTheStoredValue)
{
    SimDesktop &sim = SimDesktop::instance();
    sim.failHookInstall(ERROR_ACCESS_DENIED);
    setStored("WheelScrollLines", QStringLiteral("6"));
    SmoothScroller scroller;

    // The worker may reach the system before or after the failed start: 6 wins either way.
    applyWheelScrollLines();
    EXPECT_FALSE(scroller.start());
    ASSERT_TRUE(waitForLines(1)) << m_capture->text();
    EXPECT_EQ(m_capture->text(), kSuccessLine);
    EXPECT_EQ(sim.wheelScrollLines(), 6u);

    // A later change (smoothing switched on again) is undone by the next restore, as on quit.
    applyWheelScrollLines();
    ASSERT_TRUE(waitForLines(2));
    EXPECT_EQ(sim.wheelScrollLines(), 1u);
    restoreWheelScrollLines();
    EXPECT_EQ(sim.wheelScrollLines(), 6u);
    sim.setWheelScrollLines(2);
    restoreWheelScrollLines(); // nothing left to put back
    EXPECT_EQ(sim.wheelScrollLines(), 2u);
}

} // namespace
