// Starts like the program (guard, main window shown then hidden, event loop) and reports on
// standard output: "ready" once the loop runs, and "shown <visible>" after each hand-over,
// read after the window's own handler has run.
#include "app/event_hub.h"
#include "app/main_window.h"
#include "app/single_instance.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ensureSingleInstance();

    MainWindow window(nullptr);
    window.show();
    window.hide();
    EventHub::subscribe(
        [&window](std::int64_t, void *, std::int64_t) -> std::int32_t {
            std::printf("shown %d\n", window.isVisible() ? 1 : 0);
            std::fflush(stdout);
            return 0;
        },
        kShowMainWindowEvent);
    QTimer::singleShot(0, [] {
        std::printf("ready\n");
        std::fflush(stdout);
    });
    return app.exec();
}
