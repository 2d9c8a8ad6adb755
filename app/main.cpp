#include "app/high_dpi.h"
#include "app/main_window.h"
#include "app/single_instance.h"

#include <QApplication>

// The program reads no argument of its own ("-startup" from the autorun entry changes
// nothing); argv only goes to the application object for the toolkit's options.
int main(int argc, char *argv[])
{
    setUpHighDpi();
    QApplication app(argc, argv);

    ensureSingleInstance();

    MainWindow window(nullptr);
    // Shown and at once hidden: the program starts in the tray with no visible window.
    window.placeOnScreen();
    window.show();
    window.hide();
    return app.exec();
}
