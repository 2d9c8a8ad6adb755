#include "tests/ui/ui_test_support.h"
#include "ui/custom_radio_button.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHoverEvent>
#include <QStyle>

namespace {

struct Look
{
    QColor ring;
    QColor centre;
};

class RadioButtonTest : public ::testing::Test
{
protected:
    RadioButtonTest()
        : m_button(QStringLiteral("正常"))
    {
        m_button.resize(120, 28);
        // Alone in its parent an exclusive button could not be unchecked again.
        m_button.setAutoExclusive(false);
    }

    void hover()
    {
        m_button.setAttribute(Qt::WA_Hover);
        m_button.setAttribute(Qt::WA_UnderMouse);
        const QPoint at(10, m_button.height() / 2);
        QHoverEvent enter(QEvent::HoverEnter, at, QPoint(-1, -1));
        QApplication::sendEvent(&m_button, &enter);
    }

    // The ring is read beside the dot, the centre where the dot sits.
    Look look()
    {
        const QImage image = renderWidget(&m_button);
        const int top = (m_button.height() - 20) / 2;
        return {colourAt(image, 2, top + 10), colourAt(image, 10, top + 10)};
    }

    CustomRadioButton m_button;
};

TEST_F(RadioButtonTest, RingAndDotColoursFollowTheState)
{
    Look plain = look();
    EXPECT_EQ(plain.ring, QColor("#4A4A4A"));
    EXPECT_EQ(plain.centre, QColor("#4A4A4A")) << "no dot when unchecked";

    m_button.setChecked(true);
    Look checked = look();
    EXPECT_EQ(checked.ring, QColor("#4A4A4A"));
    EXPECT_EQ(checked.centre, QColor("#28a7ac"));

    hover();
    Look hovered = look();
    EXPECT_EQ(hovered.ring, QColor("#5c6370"));
    EXPECT_EQ(hovered.centre, QColor("#28a7ac"));

    // Disabled wins over hover for the ring, and dims the dot.
    m_button.setEnabled(false);
    Look disabled = look();
    EXPECT_EQ(disabled.ring, QColor("#3E3E3E"));
    EXPECT_EQ(disabled.centre, QColor("#8C5353"));

    m_button.setChecked(false);
    EXPECT_EQ(look().centre, QColor("#3E3E3E"));
}

TEST_F(RadioButtonTest, HoverOnAnUncheckedButtonLightensOnlyTheRing)
{
    hover();
    Look hovered = look();
    EXPECT_EQ(hovered.ring, QColor("#5c6370"));
    EXPECT_EQ(hovered.centre, QColor("#5c6370"));
}

TEST_F(RadioButtonTest, IndicatorIsTwentyPixelsCentredVertically)
{
    m_button.resize(120, 31);
    m_button.setChecked(true);
    const QImage image = renderWidget(&m_button);
    const int top = (31 - 20) / 2;
    EXPECT_EQ(colourAt(image, 10, top + 10), QColor("#28a7ac"));
    EXPECT_EQ(qAlpha(image.pixel(10, top - 1)), 0) << "nothing above the ring";
    EXPECT_EQ(qAlpha(image.pixel(10, top + 20)), 0) << "nothing below the ring";
    EXPECT_EQ(qAlpha(image.pixel(20, top + 10)), 0) << "the ring ends at x = 19";
    EXPECT_GT(qAlpha(image.pixel(10, top + 1)), 0);
}

// Columns where text pixels (white on a transparent background) appear, outside the ring.
struct TextSpan
{
    int first = -1;
    int last = -1;
};

TextSpan textSpan(const QImage &image)
{
    TextSpan span;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            if (c.alpha() > 128 && c.lightness() > 200) {
                if (span.first < 0)
                    span.first = x;
                span.last = x;
                break;
            }
        }
    }
    return span;
}

TEST_F(RadioButtonTest, TextStartsAfterTheIndicatorAndOnlyTheTextMirrors)
{
    QPalette palette = m_button.palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    m_button.setPalette(palette);
    m_button.resize(200, 28);
    m_button.setChecked(true);
    int spacing = m_button.style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &m_button);
    if (spacing <= 0)
        spacing = 5;

    const TextSpan leftToRight = textSpan(renderWidget(&m_button));
    ASSERT_GE(leftToRight.first, 0);
    EXPECT_GE(leftToRight.first, 19 + spacing);
    EXPECT_LT(leftToRight.first, 19 + spacing + 4);

    m_button.setLayoutDirection(Qt::RightToLeft);
    const QImage mirrored = renderWidget(&m_button);
    const TextSpan rightToLeft = textSpan(mirrored);
    ASSERT_GE(rightToLeft.first, 0);
    EXPECT_LE(rightToLeft.last, 200 - 19 - spacing);
    EXPECT_GT(rightToLeft.last, 200 - 19 - spacing - 5) << "the text sits at the right of its mirrored rectangle";
    EXPECT_EQ(colourAt(mirrored, 10, 14), QColor("#28a7ac")) << "the indicator stays at the left";
}

TEST_F(RadioButtonTest, SizeHintHoldsIndicatorAndWholeText)
{
    QFont font = m_button.font();
    font.setPixelSize(16);
    m_button.setFont(font);
    const QSize hint = m_button.sizeHint();
    EXPECT_EQ(m_button.minimumSizeHint(), hint);
    EXPECT_GE(hint.width(), 19 + 5 + m_button.fontMetrics().horizontalAdvance(m_button.text()));
    EXPECT_GE(hint.height(), 24) << "at least the 20-pixel ring and 4 pixels";
    m_button.setText(QStringLiteral("一个很长的方向名称"));
    EXPECT_GT(m_button.sizeHint().width(), hint.width());
}

} // namespace
