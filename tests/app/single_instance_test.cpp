#include "app/event_hub.h"
#include "app/single_instance.h"

#include "wait_for.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <unistd.h>
#include <memory>

namespace {

// Counts the show requests published in this process.
int &showRequests()
{
    static int count = 0;
    static const bool subscribed = [] {
        EventHub::subscribe([](std::int64_t, void *, std::int64_t) {
            ++count;
            return 0;
        }, kShowMainWindowEvent);
        return true;
    }();
    (void)subscribed;
    return count;
}

bool connectsTo(const QString &endpoint)
{
    QLocalSocket socket;
    socket.connectToServer(endpoint);
    return socket.waitForConnected(1000);
}

// ---- real processes --------------------------------------------------------------------

using Process = std::unique_ptr<QProcess>;

// Every process of one test shares a scratch directory: the endpoint lives there (the
// toolkit puts local endpoints in the temporary directory) and so does the registry.
Process launch(const QString &program, const QTemporaryDir &dir, const QStringList &arguments = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TMPDIR", dir.path());
    environment.insert("SORVELLA_REGISTRY_ROOT", dir.filePath("registry"));
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    // Elsewhere than the endpoint, so that a relative endpoint name cannot resolve there.
    QDir(dir.path()).mkpath("work");
    process->setWorkingDirectory(dir.filePath("work"));
    process->start(program, arguments);
    EXPECT_TRUE(process->waitForStarted(5000)) << program.toStdString();
    return process;
}

// Waits for the next output line equal to `line`, skipping others.
bool waitForLine(QProcess &process, const QByteArray &line, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        while (process.canReadLine()) {
            if (process.readLine().trimmed() == line)
                return true;
        }
        process.waitForReadyRead(100);
    }
    return false;
}

// A later launch: it must end by itself, normally, with status 0.
void expectHandsOverAndExitsZero(const QString &program, const QTemporaryDir &dir)
{
    Process later = launch(program, dir);
    ASSERT_TRUE(later->waitForFinished(5000)) << "a later launch kept running";
    EXPECT_EQ(later->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(later->exitCode(), 0);
}

void end(QProcess &process)
{
    process.kill();
    process.waitForFinished(5000);
}

const QString kProgram = QStringLiteral(SORVELLA_PROGRAM_PATH);
const QString kHarness = QStringLiteral(SORVELLA_HARNESS_PATH);

} // namespace

TEST(SingleInstanceTest, FirstClaimListensAndEveryLaterClaimIsHandedOverOnce)
{
    QTemporaryDir dir;
    const QString endpoint = dir.filePath("endpoint");
    const int before = showRequests();

    ASSERT_TRUE(claimSingleInstance(endpoint));
    EXPECT_TRUE(QFileInfo::exists(endpoint));
    // Only this user may connect: another user's launch starts an instance of its own.
    EXPECT_EQ(QFileInfo(endpoint).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());
    EXPECT_EQ(localServerName(), QStringLiteral("sorvella_local_server_%1").arg(getuid()));

    EXPECT_FALSE(claimSingleInstance(endpoint)); // another "process" finds the first one
    EXPECT_TRUE(waitFor([&] { return showRequests() == before + 1; }));

    // Well beyond the listener's queue of pending connections: each one is still detected.
    for (int launch = 0; launch < 40; ++launch) {
        ASSERT_TRUE(connectsTo(endpoint)) << "launch " << launch;
        ASSERT_TRUE(waitFor([&] { return showRequests() == before + 2 + launch; }))
            << "launch " << launch << " was not handed over";
    }
    QTest::qWait(50);
    EXPECT_EQ(showRequests(), before + 41);
}

QStringList &loggedLines()
{
    static QStringList lines;
    return lines;
}

TEST(SingleInstanceTest, EndpointThatCannotListenLeavesAFirstInstanceSilently)
{
    QTemporaryDir dir;
    const QString unreachable = dir.filePath("no/such/folder/endpoint");
    const QString endpoint = dir.filePath("endpoint");
    loggedLines().clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { loggedLines() << message; });

    const bool first = claimSingleInstance(unreachable);
    const bool listening = claimSingleInstance(endpoint);
    const bool later = claimSingleInstance(endpoint);
    QTest::qWait(20);
    qInstallMessageHandler(previous);

    EXPECT_TRUE(first) << "without a listener the instance still runs as the first";
    EXPECT_FALSE(QFileInfo::exists(unreachable));
    EXPECT_TRUE(listening);
    EXPECT_FALSE(later);
    EXPECT_TRUE(loggedLines().isEmpty()) << loggedLines().join('\n').toStdString();
}

TEST(SingleInstanceProcessTest, LaterLaunchesExitZeroAndTheFirstShowsItsWindowEachTime)
{
    QTemporaryDir dir;
    Process first = launch(kHarness, dir);
    ASSERT_TRUE(waitForLine(*first, "ready"));

    for (int launchNumber = 2; launchNumber <= 3; ++launchNumber) {
        SCOPED_TRACE(launchNumber);
        expectHandsOverAndExitsZero(kHarness, dir);
        EXPECT_TRUE(waitForLine(*first, "shown 1")) << "the first instance did not show its window";
        EXPECT_EQ(first->state(), QProcess::Running);
    }
    end(*first);
}

TEST(SingleInstanceProcessTest, TheProgramKeepsRunningAndItsLaterLaunchesExitZero)
{
    QTemporaryDir dir;
    const QString endpoint = dir.filePath(localServerName());
    Process first = launch(kProgram, dir, {"-startup"}); // the argument changes nothing
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(endpoint); }))
        << "the program did not start listening";

    for (int launchNumber = 2; launchNumber <= 3; ++launchNumber) {
        SCOPED_TRACE(launchNumber);
        expectHandsOverAndExitsZero(kProgram, dir);
        EXPECT_EQ(first->state(), QProcess::Running);
    }
    end(*first);
}

TEST(SingleInstanceProcessTest, EndpointOfAKilledInstanceDoesNotStopTheNextOne)
{
    QTemporaryDir dir;
    const QString endpoint = dir.filePath(localServerName());
    Process killed = launch(kProgram, dir);
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(endpoint); }));
    end(*killed);
    ASSERT_TRUE(QFileInfo::exists(endpoint)) << "no stale endpoint to start over";

    Process next = launch(kProgram, dir);
    ASSERT_TRUE(waitFor([&] { return connectsTo(endpoint); })) << "the new instance is not listening";
    EXPECT_EQ(next->state(), QProcess::Running);
    expectHandsOverAndExitsZero(kProgram, dir);
    EXPECT_EQ(next->state(), QProcess::Running);
    end(*next);
}
