#pragma once

#include "core/TimerHandle.h"

#include <QDateTime>
#include <QObject>

#include <chrono>
#include <functional>

class Scheduler;

// Runs a task soon after it is asked for — at the end of the current event-loop turn —
// and then at most once per interval however often it is asked for meanwhile; the
// last request is always honoured. Keeps work such as rewriting a whole cache linear
// in the number of changes when replies arrive one by one.
class ThrottledTask
{
public:
    ThrottledTask(Scheduler& scheduler, std::chrono::milliseconds interval, std::function<void()> task);
    ThrottledTask(const ThrottledTask&) = delete;
    ThrottledTask& operator=(const ThrottledTask&) = delete;

    void request();

    // Runs the task now if a request is waiting.
    void flush();

    bool isPending() const { return m_pending; }

private:
    Scheduler& m_scheduler;
    std::chrono::milliseconds m_interval;
    std::function<void()> m_task;
    QObject m_context; // drops the end-of-turn run with the task
    TimerHandle m_timer;
    QDateTime m_lastRun;
    bool m_pending = false;
};
