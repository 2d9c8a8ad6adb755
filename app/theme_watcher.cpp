#include "app/theme_watcher.h"

#include "platform/registry.h"

#include <QTimer>

bool isLightThemeValue(const QVariant &value)
{
    if (!value.isValid())
        return true;
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    return isNumber && number == 1;
}

bool readSystemUsesLightTheme()
{
    const auto key = openRegistryKey(QString::fromLatin1(kPersonalizeKey));
    return isLightThemeValue(key->value(QString::fromLatin1(kLightThemeValueName)));
}

theme_watcher::theme_watcher(QObject *parent)
    : QObject(parent)
{
    m_isLightTheme = readSystemUsesLightTheme();
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &theme_watcher::checkTheme);
    m_timer->start(kThemePollIntervalMs);
}

void theme_watcher::checkTheme()
{
    const bool state = readSystemUsesLightTheme();
    if (state == m_isLightTheme)
        return;
    m_isLightTheme = state;
    emit themeChanged(state);
}
