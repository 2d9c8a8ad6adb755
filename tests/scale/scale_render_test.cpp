#include "tests/scale/scaled_shot.h"

#include "app/main_window.h"
#include "config/config_file.h"
#include "ui/custom_image_button.h"
#include "ui/settings_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/support/offscreen_start.h"

#include <cmath>

namespace {

// The pixels a picture covers at this scale, drawn from an image smoothly.
QImage scaledTo(const QString &path, const QSize &size)
{
    QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1.0); // one image pixel to one device pixel, also for "@2x" files
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The sum over a region of the shot of each pixel's distance to the same pixel of a picture
// composed over the colour behind it.
long long difference(const ScaledShot &shot, const QRect &region, const QImage &picture, QRgb behind)
{
    QImage composed(picture.size(), QImage::Format_ARGB32);
    composed.fill(behind);
    QPainter(&composed).drawImage(0, 0, picture);
    long long sum = 0;
    for (int y = 0; y < region.height(); ++y)
        for (int x = 0; x < region.width(); ++x)
            sum += colourDistance(shot.at(region.x() + x, region.y() + y), composed.pixel(x, y));
    return sum;
}

class ScaledWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_scratch.isValid());
        setConfigDirectory(m_scratch.path());
        m_window = new MainWindow;
        m_window->resize(340, 520);
        m_window->show();
        QApplication::processEvents();
        ASSERT_GT(m_window->devicePixelRatioF(), 1.0) << "run with QT_SCALE_FACTOR set";
    }
    void TearDown() override
    {
        delete m_window;
        setConfigDirectory(QString());
    }

    QTemporaryDir m_scratch;
    MainWindow *m_window = nullptr;
};

TEST_F(ScaledWindow, RoundedCornersAndNoSeamsAtTheScale)
{
    const ScaledShot shot(m_window);
    EXPECT_EQ(shot.image().size(), QSize(qRound(340 * shot.scale()), qRound(520 * shot.scale())));
    EXPECT_EQ(shot.shapeFaults(12), 0);

    // The title bar's lower edge is one straight line: the last row of the bar and the first
    // row below it are each of one colour across the window.
    const int edge = int(std::round(60 * shot.scale()));
    const int from = int(std::ceil(12 * shot.scale()));
    const int to = shot.image().width() - from;
    for (int x = from; x < to; ++x) {
        ASSERT_EQ(shot.at(x, edge - 1), shot.at(from, edge - 1)) << "at x " << x;
        ASSERT_EQ(shot.at(x, edge), shot.at(from, edge)) << "at x " << x;
    }
    EXPECT_GT(colourDistance(shot.at(from, edge - 1), shot.at(from, edge)), 4);
}

TEST_F(ScaledWindow, TheComboBoxBorderIsUnbroken)
{
    const auto *combo = m_window->findChild<QComboBox *>(QStringLiteral("appComboBox"));
    ASSERT_NE(combo, nullptr);
    const ScaledShot shot(m_window);
    const QRect box(combo->mapTo(m_window, QPoint(0, 0)), combo->size());
    const QRgb border = qRgb(0x44, 0x44, 0x44);
    // Along each straight side, past the 4-pixel rounding, every device pixel of the line has
    // the border's colour within the band the line covers at this scale.
    const auto bandHasBorder = [&](int x, int y, bool across) {
        for (int d = -1; d <= 1; ++d) {
            if (colourDistance(across ? shot.at(x + d, y) : shot.at(x, y + d), border) <= 0x10)
                return true;
        }
        return false;
    };
    const int top = int(std::floor(box.top() * shot.scale()));
    const int bottom = int(std::floor((box.bottom() + 1) * shot.scale())) - 1;
    const int left = int(std::floor(box.left() * shot.scale()));
    for (int x = int((box.left() + 5) * shot.scale()); x < int((box.right() - 4) * shot.scale()); ++x) {
        ASSERT_TRUE(bandHasBorder(x, top, false)) << "top edge broken at x " << x;
        ASSERT_TRUE(bandHasBorder(x, bottom, false)) << "bottom edge broken at x " << x;
    }
    for (int y = int((box.top() + 5) * shot.scale()); y < int((box.bottom() - 4) * shot.scale()); ++y)
        ASSERT_TRUE(bandHasBorder(left, y, true)) << "left edge broken at y " << y;
}

TEST_F(ScaledWindow, ImageButtonsDrawTheImageMadeForLargeScreens)
{
    // The close button's image at rest over the title bar: the double-size drawing scaled down
    // to the button's device pixels is what shows, not the 100 % drawing scaled up.
    CustomImageButton *close = nullptr;
    for (CustomImageButton *button : m_window->findChildren<CustomImageButton *>()) {
        if (!button->isChecked() && button->size() == QSize(24, 24))
            close = button;
    }
    ASSERT_NE(close, nullptr);
    const ScaledShot shot(m_window);
    const QRect region = shot.inner(QRect(close->mapTo(m_window, QPoint(0, 0)), close->size()));
    const QRgb bar = shot.at(region.left() - 2, region.top());
    const long long fromDouble = difference(shot, region, scaledTo(QStringLiteral(":/res/close_normal@2x.png"), region.size()), bar);
    const long long fromSingle = difference(shot, region, scaledTo(QStringLiteral(":/res/close_normal.png"), region.size()), bar);
    EXPECT_LT(fromDouble * 2, fromSingle) << fromDouble << " vs " << fromSingle;
}

TEST_F(ScaledWindow, OnAWorkAreaLowerThanTheWindowItTakesItsHeightAndItsContentScrolls)
{
    // The offscreen screen is 800 x 600 device pixels: lower than 520 logical pixels from 125 %
    // on, as a 1080-line screen is at 200 %.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_LT(area.height(), 520);
    m_window->hide();
    m_window->move(area.right() - 100, area.top());
    m_window->placeOnScreen();
    m_window->show();
    QApplication::processEvents();
    EXPECT_TRUE(area.contains(m_window->frameGeometry()));
    EXPECT_EQ(m_window->height(), area.height());
    const auto *scroll = m_window->findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    ASSERT_NE(scroll, nullptr);
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
}

TEST(ScaledDialog, ValueEditorKeepsItsCornersAndHasNoSeams)
{
    SettingsDialog dialog(QStringLiteral("单次滚动刷新「越小越好」"), 5, 1, 1, 500, QStringLiteral("ms"));
    dialog.show();
    dialog.resize(dialog.sizeHint().expandedTo(dialog.minimumSize()));
    QApplication::processEvents();
    const ScaledShot shot(&dialog);
    ASSERT_GT(shot.scale(), 1.0);
    EXPECT_EQ(shot.shapeFaults(12), 0);
}

TEST_F(ScaledWindow, TrayMenuKeepsItsCornersAndHasNoSeams)
{
    QMenu *menu = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *candidate = qobject_cast<QMenu *>(widget))
            menu = candidate;
    }
    ASSERT_NE(menu, nullptr);
    menu->popup(QPoint(20, 20));
    QApplication::processEvents();
    const ScaledShot shot(menu);
    EXPECT_EQ(shot.shapeFaults(13), 0);
    menu->hide();
}

} // namespace

int main(int argc, char **argv)
{
    startOffscreenLikeTheProgram();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
