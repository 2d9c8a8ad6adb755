#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

class QWidget;

// Solid-colour PNG files in a temporary folder, so a test can tell by colour which image a
// widget draws.
class ImageFiles
{
public:
    ImageFiles();
    QString make(const QString &name, const QColor &colour, QSize size = QSize(20, 12));
    QString missing(const QString &name) const;

private:
    QTemporaryDir m_dir;
};

// The widget as it paints itself, in ARGB.
QImage renderWidget(QWidget *widget);

// The colour at a point, without alpha.
QColor colourAt(const QImage &image, int x, int y);

// Sends the events the toolkit sends when the cursor enters or leaves a widget.
void sendEnter(QWidget *widget);
void sendLeave(QWidget *widget);
