// Application profiles: the list of the application combo box ("默认", one entry per
// application profile, "+"), choosing what the panel shows, adding an application picked
// from the running ones or in a file dialog, and removing one through the small button on
// its entry.
#include "app/main_window.h"

#include "app/running_applications.h"

#include "config/config_document.h"
#include "config/profile_fields.h"
#include "ui/application_chooser.h"
#include "ui/panel_widgets.h"
#include "ui/shown_rows_watcher.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileIconProvider>
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

QIcon iconOfExecutable(const QString &imagePath)
{
    return QFileIconProvider().icon(QFileInfo(imagePath));
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
        // Thousands of entries would take seconds to get their buttons all at once; each gets
        // its button when it comes into view instead.
        connect(new ShownRowsWatcher(m_profileList), &ShownRowsWatcher::rowsInViewChanged, this,
                &MainWindow::attachRemoveButtons);
    }
    const QSignalBlocker blocker(m_appComboBox);
    // Clearing releases the entries' widgets by deferred deletion, never at once: this runs
    // while one of their remove buttons may still be handling its click.
    m_appComboBox->clear();
    m_profileList->clear();

    for (const QString &text : m_store.entries()) {
        m_appComboBox->addItem(QIcon(), text);
        // An entry has the height of its button row before the row is made, so that the rows
        // in view stay where they are when their buttons arrive.
        if (isApplicationEntry(text))
            m_profileList->item(m_profileList->count() - 1)->setSizeHint(QSize(0, 24));
    }
    QTimer::singleShot(0, this, &MainWindow::attachRemoveButtons);
}

void MainWindow::attachRemoveButtons()
{
    const std::pair<int, int> rows = ShownRowsWatcher::rowsInView(m_profileList);
    for (int i = rows.first; i <= rows.second; ++i) {
        QListWidgetItem *item = m_profileList->item(i);
        const QString text = item->text();
        if (!isApplicationEntry(text) || m_profileList->itemWidget(item))
            continue;
        QPushButton *button = nullptr;
        QWidget *row = makeRemoveButtonRow(&button);
        connect(button, &QPushButton::clicked, this, [this, text] { removeProfile(text); });
        item->setSizeHint(QSize(0, 24));
        m_profileList->setItemWidget(item, row);
    }
}

void MainWindow::selectProfile(const QString &name)
{
    showProfile(name);
    m_currentProfile = name;
}

void MainWindow::onAppSelectionChanged(int index)
{
    const QString text = m_appComboBox->itemText(index);
    if (text == kAddEntryText) {
        m_appComboBox->setCurrentText(profileDisplayText(m_currentProfile));
        addNewApplication();
        return;
    }
    selectProfile(profileKey(text));
}

void MainWindow::addNewApplication()
{
    std::vector<RunningApplication> applications = runningApplications();
    for (RunningApplication &application : applications)
        application.hasProfile = m_store.valuesOf(application.name).has_value();
    ApplicationChooser chooser(std::move(applications), m_applicationIcon ? m_applicationIcon : iconOfExecutable, this);
    if (chooser.exec() != QDialog::Accepted)
        return;
    if (chooser.browseChosen())
        addApplicationFromFile();
    else
        addApplicationNamed(chooser.chosenName());
}

void MainWindow::addApplicationFromFile()
{
    const QString chosen = m_chooseApplicationFile ? m_chooseApplicationFile(this) : chooseApplicationWithDialog(this);
    if (chosen.isEmpty())
        return;
    QString target = chosen;
    const QFileInfo chosenInfo(chosen);
    if (chosenInfo.isShortcut() || chosenInfo.suffix().toLower() == QLatin1String("lnk"))
        target = chosenInfo.symLinkTarget();
    addApplicationNamed(QFileInfo(target).fileName());
}

void MainWindow::addApplicationNamed(const QString &name)
{
    // A shortcut whose target cannot be read names nothing; a profile under the empty name
    // could never be shown or removed again.
    if (name.isEmpty())
        return;

    const bool added = m_store.add(name);
    if (added) {
        m_appComboBox->insertItem(m_appComboBox->count() - 1, name);
        m_appComboBox->setCurrentText(name);
        selectProfile(name);
        saveConfig();
        populateAppCombo();
    }
    m_appComboBox->setCurrentText(name);
    if (!added)
        selectProfile(name);
}

void MainWindow::removeProfile(const QString &text)
{
    m_store.remove(profileKey(text));
    m_appComboBox->setCurrentText(kDefaultEntryText);
    selectProfile(QString::fromLatin1(kDefaultProfileName));
    saveConfig();
    populateAppCombo();
    m_appComboBox->setCurrentText(kDefaultEntryText);
}
