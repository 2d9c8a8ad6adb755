#include "app/main_window.h"
#include "app/single_instance.h"

#include <QApplication>

// The program reads no argument of its own ("-startup" from the autorun entry changes
// nothing); argv only goes to the application object for the toolkit's options.
int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, false);
    // A fractional scale stays as it is: rounded, 150 % would draw the window at 200 % (taller
    // than a 1080-line laptop's work area) and 125 % at 100 %.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QApplication app(argc, argv);

    ensureSingleInstance();

    MainWindow window(nullptr);
    // Shown and at once hidden: the program starts in the tray with no visible window.
    window.show();
    window.hide();
    return app.exec();
}
