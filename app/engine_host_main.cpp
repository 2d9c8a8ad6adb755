// A bare Windows host for the engine: no window, no tray, only the low-level hook and the
// animation timer running under the toolkit's event loop, so the real hook can be tried
// (and checked under Wine) before the main program exists.

#include "config/config_document.h"
#include "engine/smooth_scroller.h"
#include "engine/wheel_lines.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The program is closed from outside (task manager, wineserver -k); the last window
    // rule never applies because there is no window.
    app.setQuitOnLastWindowClosed(false);

    // The engine reads the shared document at every notch; give it the default set.
    nlohmann::json config = initialConfig();
    sharedConfig() = config;

    SmoothScroller scroller;
    applyWheelScrollLines();
    if (!scroller.start()) {
        return 1;
    }
    return app.exec();
}
