// Application profiles through the real combo box, its popup list and the remove buttons.
#include "app/main_window.h"
#include "config/config_document.h"
#include "config/config_text.h"
#include "main_window_test_access.h"
#include "panel_test_support.h"
#include "platform/sim_desktop.h"
#include "ui/application_chooser.h"

#include "wait_for.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using Access = MainWindowTestAccess;
using nlohmann::json;

const char kTwoProfiles[] = R"({"parameters": {"default": {"accelUp": 3}, "notepad.exe": {"accelUp": 5},
                                "Code.exe": {"accelUp": 8}}})";

QStringList entries(MainWindow &window)
{
    QStringList texts;
    QComboBox *combo = appComboBox(window);
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QStringList savedProfiles()
{
    QStringList names;
    const json document = json::parse(readConfig().toStdString());
    for (const auto &item : document["parameters"].items())
        names << QString::fromStdString(item.key());
    return names;
}

// Picks an entry the way the user does: the popup's list, then the entry.
void pick(MainWindow &window, const QString &text)
{
    QComboBox *combo = appComboBox(window);
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->showPopup();
    QListWidget *list = profileList(window);
    const QRect rect = list->visualItemRect(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// Picks "+" and hands the chooser it opens to `act`, which clicks an entry (or not: the
// chooser is then closed). Fails the test if no chooser opened.
void addThroughChooser(MainWindow &window, const std::function<void(ApplicationChooser &)> &act)
{
    EXPECT_TRUE(actInModal<ApplicationChooser>([&window] { pick(window, "+"); }, act)) << "no chooser opened";
}

// The entry of the chooser for an application's name, or "浏览…"; nullptr when not listed.
QListWidgetItem *chooserEntry(ApplicationChooser &chooser, const QString &text)
{
    auto *list = chooser.findChild<QListWidget *>("applicationList");
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem *item = list->item(row);
        const bool browse = row == list->count() - 1;
        if (browse ? text == QString::fromUtf8(kBrowseEntryText) : item->data(Qt::UserRole).toString() == text)
            return item;
    }
    return nullptr;
}

void clickEntry(ApplicationChooser &chooser, const QString &text)
{
    auto *list = chooser.findChild<QListWidget *>("applicationList");
    QListWidgetItem *item = chooserEntry(chooser, text);
    ASSERT_NE(item, nullptr) << text.toStdString();
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(item).center());
}

// "+", then "浏览…": the file dialog, answered by the window's m_chooseApplicationFile.
void browse(MainWindow &window)
{
    addThroughChooser(window, [](ApplicationChooser &chooser) { clickEntry(chooser, QString::fromUtf8(kBrowseEntryText)); });
}

// Lets the deferred remove buttons appear.
void settle()
{
    QTest::qWait(20);
}

// The remove button of an entry as the open list shows it, scrolled into view.
QPushButton *removeButtonOf(MainWindow &window, const QString &text)
{
    QListWidget *list = profileList(window);
    appComboBox(window)->showPopup();
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    if (!found.isEmpty())
        list->scrollToItem(found.front());
    settle();
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == text) {
            QWidget *row = list->itemWidget(list->item(i));
            return row ? row->findChild<QPushButton *>() : nullptr;
        }
    }
    return nullptr;
}

class ProfilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimDesktop::instance().reset();
        removeConfig();
        writeConfig(kTwoProfiles);
    }
};

// Whether a row of the list can be seen in its viewport.
bool inView(QListWidget *list, int row)
{
    return list->viewport()->rect().intersects(list->visualItemRect(list->item(row)));
}

} // namespace

TEST_F(ProfilesTest, ListOrderRemoveButtonsAndChoosingWithoutSaving)
{
    MainWindow window;
    settle();
    EXPECT_EQ(entries(window), QStringList({"默认", "Code.exe", "notepad.exe", "+"}));
    QListWidget *list = profileList(window);
    EXPECT_EQ(appComboBox(window)->view(), list);
    EXPECT_EQ(list->minimumWidth(), 300);
    EXPECT_EQ(removeButtonOf(window, "默认"), nullptr);
    EXPECT_EQ(removeButtonOf(window, "+"), nullptr);
    for (const QString text : {"Code.exe", "notepad.exe"}) {
        QPushButton *button = removeButtonOf(window, text);
        ASSERT_NE(button, nullptr) << text.toStdString();
        EXPECT_EQ(button->size(), QSize(14, 14));
        EXPECT_EQ(list->item(list->row(list->findItems(text, Qt::MatchExactly).front()))->sizeHint(), QSize(0, 24));
    }

    removeConfig();
    pick(window, "notepad.exe");
    EXPECT_EQ(Access::currentProfile(window), QString("notepad.exe"));
    EXPECT_EQ(Access::rows(window)[0].value, 5);
    pick(window, "默认");
    EXPECT_EQ(Access::currentProfile(window), QString("default"));
    EXPECT_EQ(Access::rows(window)[0].value, 3);
    EXPECT_FALSE(QFile::exists(configFilePath())) << "choosing an entry saved";
}

TEST_F(ProfilesTest, AddingCancelledNewShortcutAndExistingApplications)
{
    QTemporaryDir dir;
    QFile(dir.filePath("Zed.exe")).open(QIODevice::WriteOnly);
    QFile::link(dir.filePath("Zed.exe"), dir.filePath("Editor.LNK"));
    QString answer;
    MainWindow window;
    window.m_chooseApplicationFile = [&answer](QWidget *) { return answer; };
    pick(window, "notepad.exe");
    removeConfig();

    // Cancelled: the list stays on the profile shown, nothing is written.
    browse(window);
    EXPECT_EQ(appComboBox(window)->currentText(), QString("notepad.exe"));
    EXPECT_FALSE(QFile::exists(configFilePath()));

    // A new executable: a copy of default, shown, saved, listed in order and selected.
    answer = dir.filePath("Alpha.exe");
    browse(window);
    EXPECT_EQ(entries(window), QStringList({"默认", "Alpha.exe", "Code.exe", "notepad.exe", "+"}));
    EXPECT_EQ(appComboBox(window)->currentText(), QString("Alpha.exe"));
    EXPECT_EQ(Access::currentProfile(window), QString("Alpha.exe"));
    EXPECT_EQ(Access::rows(window)[0].value, 3);
    EXPECT_EQ(window.workingConfig["parameters"]["Alpha.exe"]["accelUp"], 3);
    EXPECT_EQ(savedProfiles(), QStringList({"Alpha.exe", "Code.exe", "default", "notepad.exe"}));

    // A shortcut (a symbolic link stands in here), suffix in capitals: the target's name.
    answer = dir.filePath("Editor.LNK");
    browse(window);
    EXPECT_EQ(Access::currentProfile(window), QString("Zed.exe"));
    EXPECT_TRUE(savedProfiles().contains("Zed.exe"));
    EXPECT_FALSE(savedProfiles().contains("Editor.LNK"));

    // Existing: no change to the document, only a switch to it.
    const json before = window.workingConfig;
    removeConfig();
    answer = "/elsewhere/Code.exe";
    browse(window);
    EXPECT_EQ(window.workingConfig, before);
    EXPECT_EQ(Access::currentProfile(window), QString("Code.exe"));
    EXPECT_EQ(Access::rows(window)[0].value, 8);

    // A shortcut whose target cannot be read names nothing: nothing is added.
    answer = dir.filePath("broken.lnk");
    QFile(answer).open(QIODevice::WriteOnly);
    browse(window);
    EXPECT_EQ(window.workingConfig, before);
    EXPECT_FALSE(window.workingConfig["parameters"].contains(""));
    EXPECT_FALSE(QFile::exists(configFilePath()));
}

TEST_F(ProfilesTest, TheChooserOffersRunningApplicationsAndAddsTheChosenOneEvenAfterItEnded)
{
    SimDesktop &desktop = SimDesktop::instance();
    const auto addApp = [&desktop](const std::wstring &path, const std::wstring &title) {
        const DWORD pid = desktop.addProcess(path);
        desktop.setWindowTitle(desktop.addWindow(pid, {0, 0, 500, 500}), title);
        return pid;
    };
    addApp(L"C:\\Windows\\notepad.exe", L"Untitled - Notepad");
    const DWORD viewer = addApp(L"C:\\Apps\\Viewer.exe", L"photo.jpg - Viewer");
    MainWindow window;
    QStringList iconPaths;
    window.m_applicationIcon = [&iconPaths](const QString &path) {
        iconPaths << path;
        return QIcon();
    };
    pick(window, "Code.exe");
    removeConfig();

    // Closed: nothing changes, nothing is written.
    addThroughChooser(window, [](ApplicationChooser &chooser) { QTest::keyClick(&chooser, Qt::Key_Escape); });
    EXPECT_EQ(appComboBox(window)->currentText(), QString("Code.exe"));
    EXPECT_FALSE(QFile::exists(configFilePath()));

    // The list: each application with its title, an existing set marked, "浏览…" last; the
    // process ends before the user chooses it.
    iconPaths.clear();
    addThroughChooser(window, [&](ApplicationChooser &chooser) {
        ASSERT_NE(chooserEntry(chooser, "Viewer.exe"), nullptr);
        auto *list = chooser.findChild<QListWidget *>("applicationList");
        EXPECT_EQ(list->count(), 3);
        const auto labels = [list](int row, const char *name) {
            QLabel *label = list->itemWidget(list->item(row))->findChild<QLabel *>(name);
            return label ? label->text() : QString();
        };
        EXPECT_EQ(labels(0, "applicationName"), QString("notepad.exe"));
        EXPECT_EQ(labels(0, "profileMark"), QString::fromUtf8(kHasProfileMark));
        EXPECT_EQ(labels(1, "applicationTitle"), QString("photo.jpg - Viewer"));
        EXPECT_EQ(labels(1, "profileMark"), QString());
        QTRY_COMPARE(chooser.pendingIcons(), 0);
        SimDesktop::instance().endProcess(viewer);
        clickEntry(chooser, "Viewer.exe");
    });
    EXPECT_EQ(iconPaths, QStringList({"C:\\Windows\\notepad.exe", "C:\\Apps\\Viewer.exe"}));
    EXPECT_EQ(entries(window), QStringList({"默认", "Code.exe", "Viewer.exe", "notepad.exe", "+"}));
    EXPECT_EQ(appComboBox(window)->currentText(), QString("Viewer.exe"));
    EXPECT_EQ(Access::currentProfile(window), QString("Viewer.exe"));
    EXPECT_EQ(Access::rows(window)[0].value, 3);
    EXPECT_EQ(savedProfiles(), QStringList({"Code.exe", "Viewer.exe", "default", "notepad.exe"}));

    // An application with a set: selected and shown, the document unchanged.
    const json before = window.workingConfig;
    addThroughChooser(window, [](ApplicationChooser &chooser) { clickEntry(chooser, "notepad.exe"); });
    EXPECT_EQ(window.workingConfig, before);
    EXPECT_EQ(appComboBox(window)->currentText(), QString("notepad.exe"));
    EXPECT_EQ(Access::rows(window)[0].value, 5);
}

TEST_F(ProfilesTest, RemovingTheShownAndAnotherProfileEndsOnDefault)
{
    MainWindow window;
    settle();
    pick(window, "Code.exe");
    QTest::mouseClick(removeButtonOf(window, "Code.exe"), Qt::LeftButton);
    EXPECT_EQ(appComboBox(window)->currentText(), QString("默认"));
    EXPECT_EQ(Access::currentProfile(window), QString("default"));
    EXPECT_EQ(Access::rows(window)[0].value, 3);
    EXPECT_EQ(savedProfiles(), QStringList({"default", "notepad.exe"}));
    settle(); // the clicked button is released only now, after its click

    pick(window, "默认");
    QTest::mouseClick(removeButtonOf(window, "notepad.exe"), Qt::LeftButton);
    settle();
    EXPECT_EQ(entries(window), QStringList({"默认", "+"}));
    EXPECT_EQ(savedProfiles(), QStringList({"default"}));
}

TEST_F(ProfilesTest, TheEngineUsesANewProfileFromTheNextWheelEvent)
{
    removeConfig(); // a complete default set: the engine has no fallbacks of its own
    SimDesktop &desktop = SimDesktop::instance();
    const DWORD pid = desktop.addProcess(L"C:\\Apps\\Viewer.exe");
    desktop.addWindow(pid, {0, 0, 500, 500});
    MainWindow window;
    ASSERT_TRUE(desktop.injectWheel(120, {10, 10}).swallowed());

    window.m_chooseApplicationFile = [](QWidget *) { return QString("C:/Apps/Viewer.exe"); };
    browse(window);
    smoothCheckBox(window)->click(); // smoothing off for Viewer.exe only
    EXPECT_TRUE(desktop.injectWheel(120, {10, 10}).passedOn());
    pick(window, "默认");
    EXPECT_TRUE(desktop.injectWheel(120, {10, 10}).passedOn()) << "choosing another entry changed the set";
}

TEST_F(ProfilesTest, ALongListGivesEveryEntryInViewItsButtonAndItsClickRemovesThatProfile)
{
    json document = initialConfig();
    for (int i = 100; i < 400; ++i)
        document["parameters"]["app" + std::to_string(i) + ".exe"] = defaultParameters();
    writeConfig(QByteArray::fromStdString(configFileText(document)));
    MainWindow window;
    window.show();
    QListWidget *list = profileList(window);
    appComboBox(window)->showPopup();
    settle();
    const auto everyEntryInViewHasItsButton = [list] {
        int seen = 0;
        for (int row = 1; row < list->count() - 1; ++row) {
            if (!inView(list, row))
                continue;
            ++seen;
            QWidget *widget = list->itemWidget(list->item(row));
            EXPECT_TRUE(widget && widget->findChild<QPushButton *>()) << list->item(row)->text().toStdString();
        }
        EXPECT_GT(seen, 3);
    };
    everyEntryInViewHasItsButton();
    EXPECT_EQ(list->itemWidget(list->item(list->count() - 2)), nullptr) << "entries out of view got buttons at once";

    for (const int part : {4, 2}) {
        list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() / part);
        settle();
        everyEntryInViewHasItsButton();
    }
    int row = 1;
    while (!inView(list, row))
        ++row;
    const QString text = list->item(row + 2)->text();
    QTest::mouseClick(list->itemWidget(list->item(row + 2))->findChild<QPushButton *>(), Qt::LeftButton);
    settle();
    EXPECT_EQ(list->count(), 301);
    EXPECT_TRUE(list->findItems(text, Qt::MatchExactly).isEmpty());
    EXPECT_FALSE(json::parse(readConfig().toStdString())["parameters"].contains(text.toStdString()));
    EXPECT_EQ(appComboBox(window)->currentText(), QString("默认"));
    ASSERT_TRUE(list->isVisible()) << "the list closed on the click";
    everyEntryInViewHasItsButton();
}
