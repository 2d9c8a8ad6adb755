#include "app/single_instance.h"

#include "app/event_hub.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <cstdlib>

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

} // namespace

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
    listener->setSocketOptions(QLocalServer::WorldAccessOption);
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
    if (!claimSingleInstance(QString::fromLatin1(kServerName)))
        std::exit(0);
}
