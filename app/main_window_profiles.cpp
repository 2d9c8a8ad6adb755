// Application profiles: the list of the application combo box ("默认", one entry per
// application profile, "+"), choosing what the panel shows, adding an application picked in
// a file dialog and removing one through the small button on its entry.
#include "app/main_window.h"

#include "config/profile_fields.h"
#include "ui/panel_widgets.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

namespace {

QString chooseApplicationWithDialog(QWidget *parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("选择应用程序"), QString(),
                                        QStringLiteral("应用程序 (*.exe *.lnk);;可执行文件 (*.exe);;快捷方式 (*.lnk)"));
}

} // namespace

QString MainWindow::profileKey(const QString &text)
{
    return profileNameOfText(text);
}

void MainWindow::populateAppCombo()
{
    if (!m_profileList) {
        m_profileList = new QListWidget(this);
        m_appComboBox->setModel(m_profileList->model());
        m_appComboBox->setView(m_profileList);
        m_profileList->setMinimumWidth(300);
    }
    const QSignalBlocker blocker(m_appComboBox);
    // Clearing releases the entries' widgets by deferred deletion, never at once: this runs
    // while one of their remove buttons may still be handling its click.
    m_appComboBox->clear();
    m_profileList->clear();

    m_appComboBox->addItem(QIcon(), kDefaultEntryText);
    const auto parameters = workingConfig.find("parameters");
    if (parameters != workingConfig.end() && parameters->is_object()) {
        for (auto it = parameters->begin(); it != parameters->end(); ++it) {
            if (it.key() != "default")
                m_appComboBox->addItem(QIcon(), QString::fromStdString(it.key()));
        }
    }
    m_appComboBox->addItem(QIcon(), kAddEntryText);
    QTimer::singleShot(0, this, &MainWindow::attachRemoveButtons);
}

void MainWindow::attachRemoveButtons()
{
    for (int i = 0; i < m_profileList->count(); ++i) {
        QListWidgetItem *item = m_profileList->item(i);
        const QString text = item->text();
        if (text == kDefaultEntryText || text == kAddEntryText || m_profileList->itemWidget(item))
            continue;
        QPushButton *button = nullptr;
        QWidget *row = makeRemoveButtonRow(&button);
        connect(button, &QPushButton::clicked, this, [this, text] { removeProfile(text); });
        item->setSizeHint(QSize(0, 24));
        m_profileList->setItemWidget(item, row);
    }
}

void MainWindow::onAppSelectionChanged(int index)
{
    const QString text = m_appComboBox->itemText(index);
    if (text == kAddEntryText) {
        m_appComboBox->setCurrentText(profileDisplayText(m_currentProfile));
        addNewApplication();
        return;
    }
    const QString key = profileKey(text);
    showProfile(key);
    m_currentProfile = key;
}

void MainWindow::addNewApplication()
{
    const QString chosen = m_chooseApplicationFile ? m_chooseApplicationFile(this) : chooseApplicationWithDialog(this);
    if (chosen.isEmpty())
        return;
    QString target = chosen;
    const QFileInfo chosenInfo(chosen);
    if (chosenInfo.isShortcut() || chosenInfo.suffix().toLower() == QLatin1String("lnk"))
        target = chosenInfo.symLinkTarget();
    const QString name = QFileInfo(target).fileName();
    // A shortcut whose target cannot be read names nothing; a profile under the empty name
    // could never be shown or removed again.
    if (name.isEmpty())
        return;

    nlohmann::json &parameters = workingConfig["parameters"];
    const std::string key = name.toStdString();
    const bool existed = parameters.contains(key);
    if (!existed) {
        parameters[key] = parameters["default"];
        m_appComboBox->insertItem(m_appComboBox->count() - 1, name);
        m_appComboBox->setCurrentText(name);
        showProfile(name);
        m_currentProfile = name;
        saveConfig();
        populateAppCombo();
    }
    m_appComboBox->setCurrentText(name);
    if (existed) {
        showProfile(name);
        m_currentProfile = name;
    }
}

void MainWindow::removeProfile(const QString &text)
{
    const QString key = profileKey(text);
    nlohmann::json &parameters = workingConfig["parameters"];
    parameters.erase(key.toStdString());
    m_appComboBox->setCurrentText(kDefaultEntryText);
    showProfile(kDefaultProfileName);
    m_currentProfile = kDefaultProfileName;
    saveConfig();
    populateAppCombo();
    m_appComboBox->setCurrentText(kDefaultEntryText);
}
