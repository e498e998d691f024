#pragma once

#include "app/single_instance.h"

#include <QTest>

#include <atomic>
#include <thread>

// A second start's hand-over, which blocks, run beside this thread's event
// loop, which serves the running copy in the same process: its answer.
inline bool HandOverServed(SingleInstance &second)
{
    std::atomic<int> answer = -1;
    std::thread start([&] { answer = second.HandOver() ? 1 : 0; });
    while (answer < 0) {
        QTest::qWait(10);
    }
    start.join();
    return answer == 1;
}
