// The settings window at open, at each display scale the suite runs it at (100 to 200 %): as
// tall as its content where the work area allows, and never a horizontal scroll bar, also with
// the stand-in font that a Windows without Microsoft YaHei shows.
#include "app/main_window.h"
#include "config/config_file.h"
#include "tests/support/offscreen_start.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

// 1280 x 800 less a 48-pixel taskbar, in logical pixels at any scale.
const QVector<QRect> kRoomyScreen{QRect(0, 0, 1280, 752)};

// Where Windows lacks Microsoft YaHei (a bare Wine prefix), the toolkit falls back to the maths
// font DejaVu Math TeX Gyre, and Windows measures its lines by the font's "Windows" ascent and
// descent (4.27 em together), where FreeType takes its typographic ones (1.2 em). A copy whose
// typographic and horizontal-header metrics are its Windows ones, under a family of its own,
// lays the panel out here as it is laid out there.
QString loadWindowsMetricsStandIn()
{
    QFile file(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuMathTeXGyre.ttf"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray font = file.readAll();
    auto *bytes = reinterpret_cast<uchar *>(font.data());
    const auto table = [&](const char *tag) -> uchar * {
        const int count = qFromBigEndian<quint16>(bytes + 4);
        for (int i = 0; i < count; ++i) {
            uchar *entry = bytes + 12 + 16 * i;
            if (memcmp(entry, tag, 4) == 0)
                return bytes + qFromBigEndian<quint32>(entry + 8);
        }
        return nullptr;
    };
    uchar *os2 = table("OS/2");
    uchar *hhea = table("hhea");
    if (!os2 || !hhea)
        return QString();
    const qint16 ascent = static_cast<qint16>(qFromBigEndian<quint16>(os2 + 74));
    const qint16 descent = static_cast<qint16>(-qFromBigEndian<quint16>(os2 + 76));
    const auto put = [](uchar *at, qint16 value) {
        at[0] = static_cast<uchar>(static_cast<quint16>(value) >> 8);
        at[1] = static_cast<uchar>(value & 0xFF);
    };
    for (uchar *metrics : {os2 + 68, hhea + 4}) {
        put(metrics, ascent);
        put(metrics + 2, descent);
        put(metrics + 4, 0);
    }
    // The same length, so that the name table's offsets hold.
    const QString from = QStringLiteral("DejaVu Math TeX Gyre");
    const QString to = QStringLiteral("DejaVu Math Wine GDI");
    font.replace(from.toLatin1(), to.toLatin1());
    QByteArray fromWide, toWide;
    for (int i = 0; i < from.size(); ++i) {
        fromWide += '\0' + from.toLatin1().mid(i, 1);
        toWide += '\0' + to.toLatin1().mid(i, 1);
    }
    font.replace(fromWide, toWide);
    const int id = QFontDatabase::addApplicationFontFromData(font);
    return id < 0 ? QString() : QFontDatabase::applicationFontFamilies(id).value(0);
}

class WindowFit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_scratch.isValid());
        setConfigDirectory(m_scratch.path());
    }
    void TearDown() override { setConfigDirectory(QString()); }

    // The window as a later launch or the tray shows it on `screens`.
    void open(MainWindow &window, const QVector<QRect> &screens)
    {
        window.placeWithin(screens, screens.first().center());
        window.show();
        QApplication::processEvents();
        m_scroll = window.findChild<QScrollArea *>(QStringLiteral("scrollArea"));
        ASSERT_NE(m_scroll, nullptr);
    }

    // Nothing of the content lies beyond the viewport's width, and no horizontal bar shows.
    void expectNothingCutAtTheSide() const
    {
        EXPECT_FALSE(m_scroll->horizontalScrollBar()->isVisible());
        EXPECT_LE(m_scroll->widget()->width(), m_scroll->viewport()->width());
        const auto *list = m_scroll->findChild<QComboBox *>(QStringLiteral("appComboBox"));
        ASSERT_NE(list, nullptr);
        EXPECT_LE(list->mapTo(m_scroll->viewport(), QPoint(list->width(), 0)).x(), m_scroll->viewport()->width());
    }

    QTemporaryDir m_scratch;
    QScrollArea *m_scroll = nullptr;
};

TEST_F(WindowFit, OpensAsTallAsItsContentWhereTheScreenAllowsAndScrollsOnlyWhereItDoesNot)
{
    MainWindow window;
    open(window, kRoomyScreen);
    const int content = m_scroll->widget()->sizeHint().height() + 60;
    EXPECT_EQ(window.height(), content);
    EXPECT_EQ(window.width(), 340);
    EXPECT_FALSE(m_scroll->verticalScrollBar()->isVisible());
    expectNothingCutAtTheSide();

    // A screen lower than the content (and than the minimum) gives the window its height.
    window.hide();
    open(window, {QRect(0, 0, 800, 480)});
    EXPECT_EQ(window.height(), 480);
    EXPECT_TRUE(m_scroll->verticalScrollBar()->isVisible());
    expectNothingCutAtTheSide();

    // Back on the roomy screen the frame kept from before grows to the content again.
    window.hide();
    open(window, kRoomyScreen);
    EXPECT_EQ(window.height(), content);
}

TEST_F(WindowFit, TheStandInFontOfAWindowsWithoutYaHeiScrollsOnlyVertically)
{
    const QString standIn = loadWindowsMetricsStandIn();
    ASSERT_FALSE(standIn.isEmpty()) << "fonts-dejavu-extra is missing (scripts/install-deps.sh test)";
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"), standIn);
    MainWindow window;
    open(window, kRoomyScreen);
    ASSERT_GT(m_scroll->fontMetrics().height(), 50) << "the stand-in does not have Windows' line height";
    EXPECT_EQ(window.width(), 340);
    EXPECT_EQ(window.height(), 752);
    EXPECT_TRUE(m_scroll->verticalScrollBar()->isVisible());
    expectNothingCutAtTheSide();
}

} // namespace

int main(int argc, char **argv)
{
    startOffscreenLikeTheProgram();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
