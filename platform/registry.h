#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// Opens one registry key, given as its full path ("HKEY_CURRENT_USER\\Software\\..."), for
// one use. On Windows this is the registry itself (native settings). Elsewhere the key is an
// INI file under a root directory, named after the key path, so the key paths and value
// names stay exactly those of Windows. Changes are committed when the object is destroyed.
std::unique_ptr<QSettings> openRegistryKey(const QString &keyPath);

#ifndef _WIN32
// Environment variable that moves the root of the stand-in (tests point it at a scratch
// directory). Without it the root lies in the user's data directory.
constexpr char kRegistryRootVariable[] = "SORVELLA_REGISTRY_ROOT";

QString registryRoot();
// The INI file that stands in for the key.
QString registryKeyFile(const QString &keyPath);
#endif
