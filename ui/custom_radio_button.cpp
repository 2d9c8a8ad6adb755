#include "ui/custom_radio_button.h"

#include <QColor>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

namespace {

const int kIndicatorSize = 20;
const int kIndicatorRight = kIndicatorSize - 1;
const qreal kDotInset = 4.0;
const qreal kDotSize = 12.0;
const int kFallbackSpacing = 5;
const int kFallbackMargin = 4;

const QColor kRingColor(0x4A, 0x4A, 0x4A);
const QColor kRingHoverColor(0x5c, 0x63, 0x70);
const QColor kRingDisabledColor(0x3E, 0x3E, 0x3E);
const QColor kDotColor(0x28, 0xa7, 0xac);
const QColor kDotDisabledColor(0x8C, 0x53, 0x53);

} // namespace

CustomRadioButton::CustomRadioButton(const QString &text, QWidget *parent)
    : QRadioButton(text, parent)
{
}

QSize CustomRadioButton::sizeHint() const
{
    const QSize base = QRadioButton::sizeHint();
    const int indicator = qMax(kIndicatorSize, fontMetrics().height() + 4);
    int spacing = style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, this);
    if (spacing <= 0)
        spacing = kFallbackSpacing;
    int margin = 2 * style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, this);
    if (margin <= 0)
        margin = kFallbackMargin;
    const int width = indicator + spacing + fontMetrics().horizontalAdvance(text()) + margin;
    return QSize(width, qMax(base.height(), indicator + 4));
}

QSize CustomRadioButton::minimumSizeHint() const
{
    return sizeHint();
}

void CustomRadioButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    QStyleOptionButton option;
    initStyleOption(&option);
    const int h = option.rect.height();
    const int w = option.rect.width();

    int spacing = style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);
    if (spacing <= 0)
        spacing = kFallbackSpacing;

    // Only the text follows a right-to-left layout; the indicator stays at the left.
    const QRect indicator(0, (h - kIndicatorSize) / 2, kIndicatorSize, kIndicatorSize);
    const QRect textRect = QStyle::visualRect(
        option.direction, option.rect, QRect(kIndicatorRight + spacing, 0, w - spacing - kIndicatorRight, h));

    const bool enabled = option.state & QStyle::State_Enabled;
    QColor ring = (option.state & QStyle::State_MouseOver) ? kRingHoverColor : kRingColor;
    if (!enabled)
        ring = kRingDisabledColor;
    painter.setPen(Qt::NoPen);
    painter.setBrush(ring);
    painter.drawEllipse(indicator);

    if (option.state & QStyle::State_On) {
        painter.setBrush(enabled ? kDotColor : kDotDisabledColor);
        painter.drawEllipse(QRectF(indicator.x() + kDotInset, indicator.y() + kDotInset, kDotSize, kDotSize));
    }

    // The painter takes the button's direction so that, right to left, the text is set against
    // the far end of its mirrored rectangle instead of over the indicator.
    painter.setLayoutDirection(option.direction);
    painter.setPen(option.palette.color(QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, option.text);

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_RadioButtonFocusRect, &option, this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
