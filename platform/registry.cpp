#include "platform/registry.h"

#ifndef _WIN32
#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#endif

#ifdef _WIN32

std::unique_ptr<QSettings> openRegistryKey(const QString &keyPath)
{
    return std::make_unique<QSettings>(keyPath, QSettings::NativeFormat);
}

#else

QString registryRoot()
{
    const QString fromEnvironment = qEnvironmentVariable(kRegistryRootVariable);
    if (!fromEnvironment.isEmpty())
        return QDir::cleanPath(fromEnvironment);
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/sorvella/registry");
}

QString registryKeyFile(const QString &keyPath)
{
    // Each component of the key path becomes a directory; components that would leave the
    // root ("", "." and "..") are dropped, so no key path can point outside of it.
    QStringList parts;
    const QStringList components = QString(keyPath).replace(QLatin1Char('/'), QLatin1Char('\\'))
                                       .split(QLatin1Char('\\'));
    for (const QString &component : components) {
        if (component.isEmpty() || component == QLatin1String(".") || component == QLatin1String(".."))
            continue;
        parts << component;
    }
    if (parts.isEmpty())
        parts << QStringLiteral("_");
    return registryRoot() + QLatin1Char('/') + parts.join(QLatin1Char('/')) + QStringLiteral(".ini");
}

std::unique_ptr<QSettings> openRegistryKey(const QString &keyPath)
{
    return std::make_unique<QSettings>(registryKeyFile(keyPath), QSettings::IniFormat);
}

#endif
