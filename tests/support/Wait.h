#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

// Runs the event loop until `condition` holds or `timeoutMs` of real time pass; for
// network I/O only (virtual time does not move). Wakes on every event, so a reply is
// seen as soon as it arrives.
template <typename Condition>
bool waitUntil(Condition condition, int timeoutMs = 10000)
{
    const QDeadlineTimer deadline(timeoutMs);
    QTimer wakeUp;
    wakeUp.start(20);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}
