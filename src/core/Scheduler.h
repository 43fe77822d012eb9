#pragma once

#include "core/Clock.h"
#include "core/TimerHandle.h"

#include <chrono>
#include <functional>

class QObject;

// Runs delayed and periodic work on the main thread, and tells the time.
// Production uses SystemScheduler (QTimer); tests use a virtual scheduler whose
// time only moves when the test advances it.
class Scheduler : public Clock
{
public:
    using Duration = std::chrono::milliseconds;
    using Task = std::function<void()>;

    // Runs `task` once, `delay` from now. With a `context`, the task is dropped when
    // the context is destroyed before it is due (the step holds its owner weakly);
    // without one it always runs.
    virtual void singleShot(Duration delay, const QObject* context, Task task) = 0;

    // Runs `task` once, `delay` from now, unless the returned handle is cancelled first.
    [[nodiscard]] virtual TimerHandle start(Duration delay, Task task) = 0;

    // Runs `task` every `interval`, the first time one interval from now, until the
    // returned handle is cancelled.
    [[nodiscard]] virtual TimerHandle startRepeating(Duration interval, Task task) = 0;
};
