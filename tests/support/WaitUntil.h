// Waiting in tests until something holds, with or without a display. QTest::qWaitFor sleeps
// between short bursts of event processing, which starves the embedded browser's engine (a page
// load then takes seconds); this waits in short event loops instead.
#pragma once

#include <QElapsedTimer>
#include <QtCore/qtestsupport_core.h>

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
