#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

// Runs the event loop until done() or the limit; true when done. It sleeps
// until an event comes: the ticks only wake it to look at the clock, so
// what is waited for is seen as soon as it is there.
inline bool WaitFor(const std::function<bool()> &done, int limitMs = 120000)
{
    QElapsedTimer waited;
    waited.start();
    QTimer wake;
    wake.start(20);
    while (!done()) {
        if (waited.elapsed() > limitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}
