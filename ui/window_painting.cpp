#include "ui/window_painting.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

namespace {

const qreal kCornerRadius = 12.0;
const QColor kWindowColor(0x22, 0x22, 0x22);
const QColor kTitleBarColor(0x2b, 0x2b, 0x2b);

} // namespace

void paintRoundedWindow(QWidget *window, const QWidget *titleBar)
{
    QPainter painter(window);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(window->rect()), kCornerRadius, kCornerRadius, Qt::AbsoluteSize);
    painter.setClipPath(clip);
    painter.fillRect(window->rect(), kWindowColor);
    if (titleBar)
        painter.fillRect(titleBar->geometry(), kTitleBarColor);
}
