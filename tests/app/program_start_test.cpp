// The real program on a real X display: it starts with no visible window, and a later launch
// shows its window. Needs Xvfb and xwininfo (the test dependencies install both).
#include "wait_for.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Viewable top-level windows of at least the settings window's smallest size.
int viewableSettingsWindows(const QString &display)
{
    QProcess list;
    list.start("xwininfo", {"-display", display, "-root", "-children"});
    list.waitForFinished(5000);
    int count = 0;
    for (const QByteArray &line : list.readAllStandardOutput().split('\n')) {
        const QByteArray id = line.trimmed().split(' ').value(0);
        if (!id.startsWith("0x"))
            continue;
        QProcess info;
        info.start("xwininfo", {"-display", display, "-id", QString::fromLatin1(id)});
        info.waitForFinished(5000);
        const QByteArray text = info.readAllStandardOutput();
        const int width = text.mid(text.indexOf("Width:") + 6).trimmed().split('\n').value(0).toInt();
        const int height = text.mid(text.indexOf("Height:") + 7).trimmed().split('\n').value(0).toInt();
        if (text.contains("IsViewable") && width >= 340 && height >= 520)
            ++count;
    }
    return count;
}

} // namespace

TEST(ProgramStartTest, StartsHiddenAndALaterLaunchShowsTheWindow)
{
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() || QStandardPaths::findExecutable("xwininfo").isEmpty())
        GTEST_SKIP() << "Xvfb or xwininfo is not installed";

    QProcess xvfb;
    xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    ASSERT_TRUE(xvfb.waitForReadyRead(10000)) << "Xvfb did not start";
    const QString display = ":" + QString::fromLatin1(xvfb.readLine().trimmed());

    // A copy of the program in a folder of its own, so that its config.json lands there.
    QTemporaryDir dir;
    const QString program = dir.filePath("Sorvella");
    ASSERT_TRUE(QFile::copy(QStringLiteral(SORVELLA_PROGRAM_PATH), program));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("TMPDIR", dir.path());
    environment.insert("SORVELLA_REGISTRY_ROOT", dir.filePath("registry"));
    auto launch = [&] {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(dir.path());
        process->start(program, {"-startup"});
        return process;
    };

    auto first = launch();
    ASSERT_TRUE(first->waitForStarted(5000));
    ASSERT_TRUE(waitFor([&] { return QFile::exists(dir.filePath("sorvella_local_server")); }, 10000))
        << "the program did not start listening";
    // Long enough for a window that was only shown to be mapped and seen.
    QTest::qWait(1500);
    EXPECT_EQ(viewableSettingsWindows(display), 0) << "the window is visible at start";

    auto later = launch();
    ASSERT_TRUE(later->waitForFinished(10000));
    EXPECT_EQ(later->exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return viewableSettingsWindows(display) == 1; }, 10000))
        << "a later launch did not show the window";

    first->kill();
    first->waitForFinished(5000);
    xvfb.kill();
    xvfb.waitForFinished(5000);
}
