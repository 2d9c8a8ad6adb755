#include "tests/ui/ui_test_support.h"

#include <QApplication>
#include <QEvent>
#include <QEnterEvent>
#include <QWidget>

ImageFiles::ImageFiles() = default;

QString ImageFiles::make(const QString &name, const QColor &colour, QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    const QString path = m_dir.filePath(name);
    image.save(path, "PNG");
    return path;
}

QString ImageFiles::missing(const QString &name) const
{
    return m_dir.filePath(name);
}

QImage renderWidget(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QColor colourAt(const QImage &image, int x, int y)
{
    return QColor(image.pixel(x, y)).toRgb();
}

void sendEnter(QWidget *widget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(widget->mapToGlobal(QPoint(1, 1))));
    QApplication::sendEvent(widget, &event);
}

void sendLeave(QWidget *widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}
