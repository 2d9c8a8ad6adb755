#pragma once

#include <QImage>
#include <QString>
#include <QVector>

// Every image of the program, drawn from code so that it can be remade at will.
struct DrawnImage
{
    QString fileName;
    QImage image;
};

QVector<DrawnImage> drawAppIcons();
QVector<DrawnImage> drawControlImages();

// All images side by side on the program's backgrounds, for review.
QImage contactSheet(const QVector<DrawnImage> &images);
