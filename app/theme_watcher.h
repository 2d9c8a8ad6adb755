#pragma once

#include <QObject>
#include <QVariant>

class QTimer;

// Registry key and value that say whether the system uses the light theme.
constexpr char kPersonalizeKey[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr char kLightThemeValueName[] = "SystemUsesLightTheme";
constexpr int kThemePollIntervalMs = 1000;

// The light/dark rule: light exactly when the value reads as the integer 1; a missing
// value (an invalid variant) counts as light; 0, other numbers and non-numbers as dark.
bool isLightThemeValue(const QVariant &value);

// One read of the theme value; opens and closes its own registry key on every call.
bool readSystemUsesLightTheme();

// Polls the system theme once a second and signals each change between light and dark.
class theme_watcher : public QObject {
    Q_OBJECT

public:
    explicit theme_watcher(QObject *parent = nullptr);

    bool isLightTheme() const { return m_isLightTheme; }

signals:
    void themeChanged(bool isLightTheme);

private slots:
    void checkTheme();

private:
    QTimer *m_timer = nullptr;
    bool m_isLightTheme = true;
};
