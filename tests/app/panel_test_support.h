#pragma once
// Shared by the tests of the settings panel and the profiles: config.json in the scratch
// folder the test program points the store at, and the value editor run from a click.

#include "app/main_window.h"
#include "config/config_file.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

class SettingsDialog;

inline void writeConfig(const QByteArray &bytes)
{
    QFile file(configFilePath());
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

inline QByteArray readConfig()
{
    QFile file(configFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

inline void removeConfig()
{
    QFile::remove(configFilePath());
}

// The text a freshly built document is saved as.
extern const char kFreshConfigText[];

// Clicks the widget with the left button and, once the value editor it opens runs, hands the
// editor to `act` (which must end it). Fails the test if no editor opened.
void clickAndEditWith(QWidget *widget, const std::function<void(SettingsDialog &)> &act);
