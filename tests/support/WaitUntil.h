// Waiting for the embedded browser in tests. QTest::qWaitFor sleeps between short bursts of
// event processing, which starves the browser engine (a page load then takes seconds); this
// waits in short event loops instead.
#pragma once

#include <QElapsedTimer>
#include <QTest>

template <typename Predicate> bool WaitUntil(Predicate done, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}
