#include "core/ThrottledTask.h"

#include "core/Scheduler.h"

#include <QMetaObject>

ThrottledTask::ThrottledTask(Scheduler& scheduler, std::chrono::milliseconds interval, std::function<void()> task)
    : m_scheduler(scheduler)
    , m_interval(interval)
    , m_task(std::move(task))
{ }

void ThrottledTask::request()
{
    if (std::exchange(m_pending, true))
        return;
    const qint64 sinceLastRun = m_lastRun.isValid() ? m_lastRun.msecsTo(m_scheduler.now()) : m_interval.count();
    if (sinceLastRun >= m_interval.count()) {
        QMetaObject::invokeMethod(
            &m_context, [this] { flush(); }, Qt::QueuedConnection);
        return;
    }
    m_timer = m_scheduler.start(m_interval - std::chrono::milliseconds(sinceLastRun), [this] { flush(); });
}

void ThrottledTask::flush()
{
    if (!std::exchange(m_pending, false))
        return;
    m_timer.cancel();
    m_lastRun = m_scheduler.now();
    m_task();
}
