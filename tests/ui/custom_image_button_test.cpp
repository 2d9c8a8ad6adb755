#include "tests/ui/ui_test_support.h"
#include "ui/custom_image_button.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QStringList>
#include <QTest>

namespace {

const QColor kRed(200, 0, 0);
const QColor kGreen(0, 200, 0);
const QColor kBlue(0, 0, 200);
const QColor kYellow(200, 200, 0);

class ImageButtonTest : public ::testing::Test
{
protected:
    // The colour the button paints at its centre.
    static QColor shown(CustomImageButton &button)
    {
        const QImage image = renderWidget(&button);
        return colourAt(image, image.width() / 2, image.height() / 2);
    }

    static void press(CustomImageButton &button, Qt::MouseButton which = Qt::LeftButton)
    {
        QTest::mousePress(&button, which, Qt::NoModifier, QPoint(2, 2));
    }

    static void release(CustomImageButton &button, QPoint at, Qt::MouseButton which = Qt::LeftButton)
    {
        QTest::mouseRelease(&button, which, Qt::NoModifier, at);
    }

    ImageFiles m_files;
};

TEST_F(ImageButtonTest, OnlyANormalImageIsShownInEveryStateAtItsOwnSize)
{
    CustomImageButton button(m_files.make("n.png", kRed, QSize(30, 18)), QString(), QString(), false,
                             QString(), QString());
    EXPECT_EQ(button.minimumSize(), QSize(30, 18));
    EXPECT_EQ(button.maximumSize(), QSize(30, 18));
    EXPECT_EQ(button.sizeHint(), QSize(30, 18));
    EXPECT_EQ(shown(button), kRed);
    sendEnter(&button);
    EXPECT_EQ(button.state(), CustomImageButton::Hovered);
    EXPECT_EQ(shown(button), kRed);
    press(button);
    EXPECT_EQ(button.state(), CustomImageButton::Pressed);
    EXPECT_EQ(shown(button), kRed);
}

TEST_F(ImageButtonTest, EachStateShowsItsImage)
{
    CustomImageButton button(m_files.make("n.png", kRed), m_files.make("h.png", kGreen),
                             m_files.make("p.png", kBlue), false, QString(), QString());
    EXPECT_EQ(shown(button), kRed);
    sendEnter(&button);
    EXPECT_EQ(shown(button), kGreen);
    press(button);
    EXPECT_EQ(shown(button), kBlue);
    release(button, QPoint(3, 3));
    EXPECT_EQ(shown(button), kGreen);
    sendLeave(&button);
    EXPECT_EQ(shown(button), kRed);
}

TEST_F(ImageButtonTest, OnlyEmptyPathsBorrowAnotherImage)
{
    // An empty pressed path borrows the hover image.
    CustomImageButton borrowing(m_files.make("n.png", kRed), m_files.make("h.png", kGreen), QString(), false,
                                QString(), QString());
    press(borrowing);
    EXPECT_EQ(shown(borrowing), kGreen);

    // A hover path that does not load stays empty; the states then fall back to the normal image,
    // and the pressed image borrowed from that empty hover image is empty as well.
    CustomImageButton broken(m_files.make("n2.png", kRed), m_files.missing("gone.png"), QString(), false,
                             QString(), QString());
    sendEnter(&broken);
    EXPECT_EQ(shown(broken), kRed);
    press(broken);
    EXPECT_EQ(shown(broken), kRed);
}

TEST_F(ImageButtonTest, MissingNormalImageGivesAGreyPlaceholderThatStillClicks)
{
    CustomImageButton button(m_files.missing("gone.png"), m_files.make("h.png", kGreen), QString(), false,
                             QString(), QString());
    EXPECT_EQ(button.minimumSize(), QSize(32, 32));
    EXPECT_EQ(button.maximumSize(), QSize(32, 32));
    const QImage image = renderWidget(&button);
    EXPECT_EQ(colourAt(image, 1, 1), QColor(Qt::darkGray));
    int white = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            white += colourAt(image, x, y).lightness() > 230 ? 1 : 0;
    EXPECT_GT(white, 5) << "the placeholder text is drawn in white";

    QSignalSpy clicked(&button, &CustomImageButton::clicked);
    press(button);
    release(button, QPoint(16, 16));
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(ImageButtonTest, ReleaseDecidesWhetherAPressIsAClick)
{
    CustomImageButton button(m_files.make("n.png", kRed, QSize(24, 24)), QString(), QString(), false, QString(),
                             QString());
    QSignalSpy clicked(&button, &CustomImageButton::clicked);

    press(button);
    release(button, QPoint(24, 5));
    EXPECT_EQ(clicked.count(), 0) << "just past the right edge is outside";
    EXPECT_EQ(button.state(), CustomImageButton::Normal);

    press(button);
    release(button, QPoint(23, 23));
    EXPECT_EQ(clicked.count(), 1) << "the last pixel row and column are inside";
    EXPECT_EQ(button.state(), CustomImageButton::Hovered);

    // A release with no press before it is no click.
    release(button, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(ImageButtonTest, LeavingDuringAPressCancelsTheClickButEnteringKeepsThePress)
{
    CustomImageButton button(m_files.make("n.png", kRed), QString(), QString(), false, QString(), QString());
    QSignalSpy clicked(&button, &CustomImageButton::clicked);

    press(button);
    sendEnter(&button);
    EXPECT_EQ(button.state(), CustomImageButton::Pressed);
    release(button, QPoint(3, 3));
    EXPECT_EQ(clicked.count(), 1);

    press(button);
    sendLeave(&button);
    EXPECT_EQ(button.state(), CustomImageButton::Normal);
    sendEnter(&button);
    release(button, QPoint(3, 3));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(button.state(), CustomImageButton::Hovered);
}

TEST_F(ImageButtonTest, OtherMouseButtonsNeitherPressNorClick)
{
    CustomImageButton button(m_files.make("n.png", kRed), m_files.make("h.png", kGreen),
                             m_files.make("p.png", kBlue), true, QString(), QString());
    QSignalSpy clicked(&button, &CustomImageButton::clicked);
    QSignalSpy toggled(&button, &CustomImageButton::toggled);
    press(button, Qt::RightButton);
    EXPECT_EQ(button.state(), CustomImageButton::Normal);
    release(button, QPoint(3, 3), Qt::RightButton);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(toggled.count(), 0);
    EXPECT_FALSE(button.isChecked());
}

TEST_F(ImageButtonTest, CheckableClickTogglesBeforeItClicks)
{
    CustomImageButton button(m_files.make("n.png", kRed), QString(), QString(), true, m_files.make("c.png", kBlue),
                             m_files.make("ch.png", kYellow));
    QStringList order;
    QObject::connect(&button, &CustomImageButton::toggled, [&](bool on) {
        order << QStringLiteral("toggled %1 (now %2)").arg(int(on)).arg(int(button.isChecked()));
    });
    QObject::connect(&button, &CustomImageButton::clicked, [&] { order << QStringLiteral("clicked"); });

    press(button);
    release(button, QPoint(3, 3));
    EXPECT_TRUE(button.isChecked());
    EXPECT_EQ(shown(button), kYellow) << "checked and still under the cursor";
    sendLeave(&button);
    EXPECT_EQ(shown(button), kBlue);
    press(button);
    EXPECT_EQ(shown(button), kBlue) << "a checked button has no pressed image";
    release(button, QPoint(3, 3));
    EXPECT_FALSE(button.isChecked());
    EXPECT_EQ(shown(button), kRed) << "unchecked, and no hover image of its own";

    EXPECT_EQ(order, QStringList({"toggled 1 (now 1)", "clicked", "toggled 0 (now 0)", "clicked"}));
}

TEST_F(ImageButtonTest, CheckedImagesFallBackToTheNormalOne)
{
    CustomImageButton button(m_files.make("n.png", kRed), m_files.make("h.png", kGreen), QString(), true,
                             QString(), QString());
    button.setChecked(true);
    EXPECT_EQ(shown(button), kRed);
    sendEnter(&button);
    EXPECT_EQ(shown(button), kRed) << "the checked hover image copies the checked image";
}

TEST_F(ImageButtonTest, SetCheckedSignalsOnlyAChange)
{
    CustomImageButton plain(m_files.make("n.png", kRed), QString(), QString(), false, QString(), QString());
    QSignalSpy plainToggled(&plain, &CustomImageButton::toggled);
    plain.setChecked(true);
    EXPECT_FALSE(plain.isChecked());
    EXPECT_EQ(plainToggled.count(), 0);
    QSignalSpy plainClicked(&plain, &CustomImageButton::clicked);
    press(plain);
    release(plain, QPoint(3, 3));
    EXPECT_EQ(plainClicked.count(), 1);
    EXPECT_FALSE(plain.isChecked()) << "a plain button never becomes checked";

    CustomImageButton checkable(m_files.make("n2.png", kRed), QString(), QString(), true,
                                m_files.make("c.png", kBlue), QString());
    QSignalSpy toggled(&checkable, &CustomImageButton::toggled);
    QSignalSpy clicked(&checkable, &CustomImageButton::clicked);
    checkable.setChecked(false);
    EXPECT_EQ(toggled.count(), 0);
    checkable.setChecked(true);
    checkable.setChecked(true);
    ASSERT_EQ(toggled.count(), 1);
    EXPECT_TRUE(toggled.at(0).at(0).toBool());
    EXPECT_EQ(clicked.count(), 0) << "setting the state is no click";
    EXPECT_EQ(shown(checkable), kBlue);
}

} // namespace
