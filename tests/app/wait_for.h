#pragma once

#include <QElapsedTimer>
#include <QTest>

#include <functional>

// Runs the event loop until condition holds or timeoutMs pass; true if it held.
inline bool waitFor(const std::function<bool()> &condition, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}
