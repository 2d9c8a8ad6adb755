#include "app/single_instance.h"

#include "app/event_hub.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <cstdlib>

#ifdef Q_OS_WIN
#include <windows.h>
#include <sddl.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr int kProbeTimeoutMs = 1000;

// Takes every pending connection, closes it and asks for the window once per connection,
// so that the pending queue never fills up and later launches keep being detected.
void handOverPendingConnections(QLocalServer *listener)
{
    while (QLocalSocket *connection = listener->nextPendingConnection()) {
        connection->abort();
        connection->deleteLater();
        EventHub::publish(kShowMainWindowEvent, nullptr, 0);
    }
}

#ifdef Q_OS_WIN
// The SID of the user this process runs as, in its text form; empty when it cannot be read.
QString processUserSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    QString text;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    QByteArray buffer(int(size), '\0');
    LPWSTR sid = nullptr;
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)
        && ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid, &sid)) {
        text = QString::fromWCharArray(sid);
        LocalFree(sid);
    }
    CloseHandle(token);
    return text;
}
#endif

} // namespace

QString localServerName()
{
    QString name = QString::fromLatin1(kServerName);
#ifdef Q_OS_WIN
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session))
        name += QLatin1Char('_') + QString::number(session);
    const QString sid = processUserSid();
    if (!sid.isEmpty())
        name += QLatin1Char('_') + sid;
#else
    name += QLatin1Char('_') + QString::number(getuid());
#endif
    return name;
}

bool claimSingleInstance(const QString &name)
{
    // Launches that start together take turns from the probe to the listen: otherwise two
    // of them can both find no instance, and the second one's removeServer takes the first
    // one's endpoint away, leaving two instances. A lock left by a killed launch is stale and
    // taken over; if the turn never comes, the claim goes ahead as before.
    QLockFile turn(QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral(".lock"));
    turn.tryLock(5000);

    auto *probe = new QLocalSocket;
    probe->connectToServer(name, QIODevice::ReadWrite);
    if (probe->waitForConnected(kProbeTimeoutMs))
        return false;

    QLocalServer::removeServer(name);
    auto *listener = new QLocalServer;
    // Another user's launch must neither reach this instance nor take its name.
    listener->setSocketOptions(QLocalServer::UserAccessOption);
    if (!listener->listen(name)) {
        if (listener->serverError() == QAbstractSocket::AddressInUseError
            && QFile::exists(listener->serverName())) {
            QFile::remove(listener->serverName());
            listener->listen(name);
        }
    }
    QObject::connect(listener, &QLocalServer::newConnection, listener,
                     [listener] { handOverPendingConnections(listener); });
    return true;
}

void ensureSingleInstance()
{
    if (!claimSingleInstance(localServerName()))
        std::exit(0);
}
