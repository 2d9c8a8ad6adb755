#include "app/high_dpi.h"

#include <QApplication>

void setUpHighDpi()
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, false);
    // A fractional scale stays as it is: rounded, 150 % would draw the window at 200 % (taller
    // than a 1080-line laptop's work area) and 125 % at 100 %.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}
