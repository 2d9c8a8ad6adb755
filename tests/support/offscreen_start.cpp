#include "tests/support/offscreen_start.h"

#include "app/high_dpi.h"

#include <QByteArray>

void startOffscreenLikeTheProgram()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    setUpHighDpi();
}
