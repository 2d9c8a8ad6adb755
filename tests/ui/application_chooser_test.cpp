#include "ui/application_chooser.h"
#include "ui/custom_image_button.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QTest>
#include <QTimer>

namespace {

std::vector<RunningApplication> sample()
{
    RunningApplication notepad{"notepad.exe", "Untitled - Notepad", "C:\\Windows\\notepad.exe", false, true};
    RunningApplication admin{"regedit.exe", "Registry Editor", "C:\\Windows\\regedit.exe", true, false};
    RunningApplication odd{QString(120, QChar(0x9577)) + ".exe", QString(400, QChar(0x984C)), QString(), false, false};
    return {notepad, admin, odd};
}

QListWidget *listOf(ApplicationChooser &chooser) { return chooser.findChild<QListWidget *>("applicationList"); }

QLabel *line(ApplicationChooser &chooser, int row, const char *name)
{
    QListWidget *list = listOf(chooser);
    return list->itemWidget(list->item(row))->findChild<QLabel *>(name);
}

TEST(ApplicationChooserTest, ShowsEachEntryAndLoadsIconsOnlyOnceItIsOnScreen)
{
    QStringList loaded;
    QPixmap red(16, 16);
    red.fill(Qt::red);
    ApplicationChooser chooser(sample(), [&loaded, red](const QString &path) {
        loaded << path;
        return QIcon(red);
    });
    EXPECT_EQ(chooser.windowFlags() & (Qt::Window | Qt::FramelessWindowHint), Qt::Window | Qt::FramelessWindowHint);
    QListWidget *list = listOf(chooser);
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->itemWidget(list->item(3))->findChild<QLabel *>()->text(), QString::fromUtf8(kBrowseEntryText));
    EXPECT_EQ(line(chooser, 0, "profileMark")->text(), QString::fromUtf8(kHasProfileMark));
    EXPECT_EQ(line(chooser, 1, "profileMark"), nullptr);
    EXPECT_EQ(line(chooser, 0, "applicationNote"), nullptr);
    EXPECT_EQ(line(chooser, 1, "applicationNote")->text(), QString::fromUtf8(kElevatedApplicationNote));
    // Too long for the row: cut with an ellipsis, whole in the tooltip, inside the chooser.
    QLabel *name = line(chooser, 2, "applicationName");
    EXPECT_TRUE(name->text().endsWith(QChar(0x2026)));
    EXPECT_EQ(name->toolTip(), sample()[2].name);
    EXPECT_TRUE(line(chooser, 2, "applicationTitle")->text().endsWith(QChar(0x2026)));

    chooser.show();
    EXPECT_TRUE(loaded.isEmpty()) << "icons loaded before the chooser was shown";
    EXPECT_EQ(chooser.pendingIcons(), 3);
    QTRY_COMPARE(chooser.pendingIcons(), 0);
    // The entry without a path keeps its empty place.
    EXPECT_EQ(loaded, QStringList({"C:\\Windows\\notepad.exe", "C:\\Windows\\regedit.exe"}));
    EXPECT_FALSE(list->itemWidget(list->item(0))->findChild<QLabel *>()->pixmap(Qt::ReturnByValue).isNull());
}

// Runs the chooser modally with `action` done inside its loop; ends it rejected should the
// action not end it.
template <typename Action>
int execWith(ApplicationChooser &chooser, Action action)
{
    QTimer::singleShot(0, &chooser, action);
    QTimer::singleShot(5000, &chooser, [&chooser] { chooser.done(-1); });
    return chooser.exec();
}

TEST(ApplicationChooserTest, TheKeyboardChoosesTheCloseButtonRejects)
{
    ApplicationChooser chooser(sample(), nullptr);
    EXPECT_EQ(execWith(chooser,
                       [&chooser] {
                           QTest::keyClick(listOf(chooser), Qt::Key_Down);
                           QTest::keyClick(listOf(chooser), Qt::Key_Return);
                       }),
              int(QDialog::Accepted));
    EXPECT_EQ(chooser.chosenName(), QString("regedit.exe"));
    EXPECT_FALSE(chooser.browseChosen());

    ApplicationChooser empty({}, nullptr);
    ASSERT_EQ(listOf(empty)->count(), 1);
    EXPECT_EQ(execWith(empty, [&empty] { QTest::keyClick(listOf(empty), Qt::Key_Return); }), int(QDialog::Accepted));
    EXPECT_TRUE(empty.browseChosen());

    ApplicationChooser closed(sample(), nullptr);
    EXPECT_EQ(execWith(closed, [&closed] { QTest::mouseClick(closed.findChild<CustomImageButton *>(), Qt::LeftButton); }),
              int(QDialog::Rejected));
    EXPECT_TRUE(closed.chosenName().isEmpty());
}

} // namespace
