#pragma once

#include "ui/running_application.h"

#include <QDialog>
#include <QIcon>
#include <QString>

#include <functional>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPaintEvent;
class CustomImageButton;

// Note shown under an application that runs with higher rights than ours.
extern const char kElevatedApplicationNote[];
// The last entry, which opens the file dialog instead.
extern const char kBrowseEntryText[];
// Mark of an application that already has a set.
extern const char kHasProfileMark[];

// Frameless chooser of a running application to add a set for, in the look of the value
// editor. One entry per application (icon, file name, and a window title beneath it), then
// "浏览…". Choosing an entry accepts; the close button, Escape or a close request reject.
// Icons are loaded one by one once the chooser is on screen, so that a slow executable path
// cannot hold it.
class ApplicationChooser : public QDialog
{
    Q_OBJECT

public:
    using IconLoader = std::function<QIcon(const QString &imagePath)>;

    ApplicationChooser(std::vector<RunningApplication> applications, IconLoader loadIcon,
                       QWidget *parent = nullptr);

    // After exec() returned Accepted: either browsing was chosen, or the name of the chosen
    // application as it was read when the list was made.
    bool browseChosen() const { return m_browseChosen; }
    QString chosenName() const { return m_chosenName; }

    // Entries whose icon is still to be loaded.
    int pendingIcons() const { return int(m_applications.size()) - m_iconsLoaded; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void addApplicationEntry(const RunningApplication &application);
    void addBrowseEntry();
    QListWidgetItem *newEntry(const QString &text);
    void choose(QListWidgetItem *item);
    void loadNextIcon();

    std::vector<RunningApplication> m_applications;
    IconLoader m_loadIcon;
    std::vector<QLabel *> m_iconLabels;
    int m_iconsLoaded = 0;
    bool m_iconLoadingStarted = false;
    QWidget *m_titleBar = nullptr;
    QLabel *m_titleLabel = nullptr;
    CustomImageButton *m_closeButton = nullptr;
    QListWidget *m_list = nullptr;
    bool m_browseChosen = false;
    QString m_chosenName;
};
