// The user's wheel settings: read and handed to the engine, and where they give no unit, set
// to 1 for the session by a worker, with the line it writes, and put back.
#include "engine/wheel_lines.h"

#include "engine/smooth_scroller.h"
#include "engine/wheel_units.h"
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

    // Waits until n lines have been completed, or gives up after `patience`.
    bool waitForLines(int n, std::chrono::milliseconds patience = std::chrono::seconds(5))
    {
        const auto deadline = std::chrono::steady_clock::now() + patience;
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

UINT publishedLines() { return publishedWheelUnits().lines; }
UINT publishedChars() { return publishedWheelUnits().chars; }

TEST_F(WheelLines, SettingsWithAUnitAreOnlyReadAndHandedToTheEngine)
{
    SimDesktop &sim = SimDesktop::instance();
    applyWheelScrollLines(); // 3 and 3, as a fresh profile has
    EXPECT_EQ(publishedLines(), 3u);
    EXPECT_EQ(publishedChars(), 3u);
    sim.setWheelScrollLines(100);
    sim.setWheelScrollChars(1);
    applyWheelScrollLines();
    EXPECT_EQ(publishedLines(), 100u);
    EXPECT_EQ(publishedChars(), 1u);
    // A read that fails keeps what is in force.
    sim.failWheelSettingReads(ERROR_ACCESS_DENIED);
    applyWheelScrollLines();
    EXPECT_EQ(publishedLines(), 100u);
    EXPECT_EQ(publishedChars(), 1u);
    sim.failWheelSettingReads(0);
    restoreWheelScrollLines();

    // Nothing was set, nothing put back, no worker wrote a line.
    EXPECT_EQ(sim.systemParametersFlags(SPI_SETWHEELSCROLLLINES), 0u);
    EXPECT_EQ(sim.systemParametersFlags(SPI_SETWHEELSCROLLCHARS), 0u);
    EXPECT_EQ(sim.wheelScrollLines(), 100u);
    EXPECT_FALSE(waitForLines(1, std::chrono::milliseconds(100)));
    EXPECT_EQ(m_capture->text(), "");
}

TEST_F(WheelLines, APageOrZeroBecomesOneForTheSessionUntilPutBack)
{
    SimDesktop &sim = SimDesktop::instance();
    sim.setWheelScrollLines(WHEEL_PAGESCROLL);
    sim.setWheelScrollChars(0);
    applyWheelScrollLines();
    ASSERT_TRUE(waitForLines(1)) << m_capture->text();
    // The smoothing switch: our 1 is in force for both, so there is nothing more to set.
    applyWheelScrollLines();
    EXPECT_EQ(publishedLines(), 1u);
    EXPECT_EQ(publishedChars(), 1u);
    EXPECT_FALSE(waitForLines(2, std::chrono::milliseconds(100)));
    EXPECT_EQ(m_capture->text(), kSuccessLine);
    EXPECT_EQ(sim.wheelScrollLines(), 1u);
    EXPECT_EQ(sim.wheelScrollChars(), 1u);
    // For the session only: the user's stored values are never written.
    EXPECT_EQ(sim.systemParametersFlags(SPI_SETWHEELSCROLLLINES), UINT(SPIF_SENDCHANGE));
    EXPECT_EQ(sim.systemParametersFlags(SPI_SETWHEELSCROLLCHARS), UINT(SPIF_SENDCHANGE));
    EXPECT_FALSE(stored("WheelScrollLines").isValid());

    // The profile stores a page as -1, and nothing for the characters: what the session had.
    setStored("WheelScrollLines", QStringLiteral("-1"));
    restoreWheelScrollLines();
    EXPECT_EQ(sim.wheelScrollLines(), WHEEL_PAGESCROLL);
    EXPECT_EQ(sim.wheelScrollChars(), 0u);
    EXPECT_EQ(stored("WheelScrollLines"), QStringLiteral("-1"));

    // A change the user makes while the program runs is theirs: 5 lines stay at a restore.
    applyWheelScrollLines();
    ASSERT_TRUE(waitForLines(2));
    sim.setWheelScrollLines(5);
    applyWheelScrollLines(); // as the announcement of the change calls it
    EXPECT_EQ(publishedLines(), 5u);
    restoreWheelScrollLines();
    EXPECT_EQ(sim.wheelScrollLines(), 5u);
    EXPECT_EQ(sim.wheelScrollChars(), 0u);
}

TEST_F(WheelLines, RefusedChangeWritesTheErrorCodeOnItsLine)
{
    SimDesktop::instance().setWheelScrollLines(0);
    SimDesktop::instance().failSystemParameters(ERROR_ACCESS_DENIED);

    applyWheelScrollLines();

    ASSERT_TRUE(waitForLines(1)) << m_capture->text();
    EXPECT_EQ(m_capture->text(), "Set params error5\n");
    EXPECT_EQ(SimDesktop::instance().wheelScrollLines(), 0u);
}

TEST_F(WheelLines, EngineThatCannotStartPutsBackTheStoredValue)
{
    SimDesktop &sim = SimDesktop::instance();
    sim.failHookInstall(ERROR_ACCESS_DENIED);
    sim.setWheelScrollLines(WHEEL_PAGESCROLL);
    setStored("WheelScrollLines", QStringLiteral("-1"));
    SmoothScroller scroller;

    // The worker may reach the system before or after the failed start: the page wins
    // either way.
    applyWheelScrollLines();
    EXPECT_FALSE(scroller.start());
    ASSERT_TRUE(waitForLines(1)) << m_capture->text();
    EXPECT_EQ(m_capture->text(), kSuccessLine);
    EXPECT_EQ(sim.wheelScrollLines(), WHEEL_PAGESCROLL);
    sim.setWheelScrollLines(2);
    restoreWheelScrollLines(); // nothing left to put back
    EXPECT_EQ(sim.wheelScrollLines(), 2u);
}

} // namespace
