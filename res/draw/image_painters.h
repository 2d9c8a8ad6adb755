#pragma once

#include <QByteArray>
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
// The settings window's small images at their widget size times scale (1 or 2).
QVector<DrawnImage> drawControlImages(int scale = 1);

// The icon of the program file: the sizes the shell asks for, each drawn at its own size.
const QVector<int> &programFileIconSizes();
QImage programFileIconImage(int size);
// An .ico file holding the images in the given order (PNG from 256 pixels up, else bitmaps).
QByteArray icoFileData(const QVector<QImage> &images);

// All images side by side on the program's backgrounds, for review.
QImage contactSheet(const QVector<DrawnImage> &images);
