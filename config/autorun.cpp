#include "config/autorun.h"

#include "platform/registry.h"

#include <QCoreApplication>
#include <QDir>

const char kAutorunValueName[] = "tidyforge_sorvella";
const char kRunKey[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunKeyWow64[] =
    "HKEY_CURRENT_USER\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

QString autorunCommandText(const QString &exePath)
{
    return QLatin1Char('"') + exePath + QStringLiteral("\" -startup");
}

bool applyAutorun(bool enabled)
{
    const QString valueName = QString::fromLatin1(kAutorunValueName);
    const QString exePath = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    if (!enabled) {
        openRegistryKey(QString::fromLatin1(kRunKey))->remove(valueName);
        openRegistryKey(QString::fromLatin1(kRunKeyWow64))->remove(valueName);
        return false;
    }
    {
        const auto runKey = openRegistryKey(QString::fromLatin1(kRunKey));
        if (runKey->value(valueName, QString()).toString() == autorunCommandText(exePath))
            return false;
    }
    writeAutorunEntry(valueName, exePath, true);
    return true;
}

void writeAutorunEntry(const QString &valueName, const QString &exePath, bool enabled)
{
    const auto runKey = openRegistryKey(QString::fromLatin1(kRunKey));
    const auto wow64Key = openRegistryKey(QString::fromLatin1(kRunKeyWow64));
    if (enabled) {
        const QString command = autorunCommandText(exePath);
        runKey->setValue(valueName, command);
        wow64Key->setValue(valueName, command);
    } else {
        runKey->remove(valueName);
        wow64Key->remove(valueName);
    }
}
