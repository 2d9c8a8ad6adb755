#pragma once
// Shared by the tests of the settings panel and the profiles: config.json in the scratch
// folder the test program points the store at, and the value editor run from a click.

#include "app/main_window.h"
#include "config/config_file.h"

#include "ui/custom_image_button.h"
#include "ui/custom_radio_button.h"

#include <QButtonGroup>
#include <QApplication>
#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QString>
#include <QTimer>

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

// The panel's widgets, found by the object names the window's style sheet selects them by.
inline QWidget *titleBar(MainWindow &window) { return window.findChild<QWidget *>("customTitleBar"); }
inline CustomImageButton *autorunButton(MainWindow &window)
{
    return titleBar(window)->findChildren<CustomImageButton *>().value(0);
}
inline CustomImageButton *closeButton(MainWindow &window)
{
    return titleBar(window)->findChildren<CustomImageButton *>().value(1);
}
inline QComboBox *appComboBox(MainWindow &window) { return window.findChild<QComboBox *>("appComboBox"); }
inline QListWidget *profileList(MainWindow &window) { return qobject_cast<QListWidget *>(appComboBox(window)->view()); }
inline QCheckBox *smoothCheckBox(MainWindow &window) { return window.findChild<QCheckBox *>("smoothCheckBox"); }
// The direction buttons by their id in the group: 0 "正常", 1 "反转".
inline CustomRadioButton *directionRadio(MainWindow &window, int id)
{
    return qobject_cast<CustomRadioButton *>(window.findChild<QButtonGroup *>()->button(id));
}
inline CustomRadioButton *normalRadio(MainWindow &window) { return directionRadio(window, 0); }
inline CustomRadioButton *reverseRadio(MainWindow &window) { return directionRadio(window, 1); }

// The text a freshly built document is saved as.
extern const char kFreshConfigText[];

// Runs `trigger`, which is to open a modal Dialog, and hands that dialog to `act` from inside
// its event loop; a dialog still open afterwards is ended with done(-1). False when no such
// dialog opened.
template <typename Dialog>
bool actInModal(const std::function<void()> &trigger, const std::function<void(Dialog &)> &act)
{
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        opened = true;
        act(*dialog);
        if (dialog->isVisible())
            dialog->done(-1);
    });
    trigger();
    return opened;
}

// Clicks the widget with the left button and, once the value editor it opens runs, hands the
// editor to `act` (which must end it). Fails the test if no editor opened.
void clickAndEditWith(QWidget *widget, const std::function<void(SettingsDialog &)> &act);
