#include "feeds/AutoReloadService.h"

#include "core/Console.h"
#include "core/DateTexts.h"
#include "core/Scheduler.h"

AutoReloadService::AutoReloadService(Scheduler& scheduler, Console& console)
    : m_scheduler(scheduler)
    , m_console(console)
{ }

AutoReloadService::~AutoReloadService()
{
    stopAutoReload();
}

void AutoReloadService::startAutoReload(std::function<void()> action)
{
    stopAutoReload();
    m_action = std::move(action);
    waitFrom(m_scheduler.now());
    m_console.print(QStringLiteral(">>> Auto-reload enabled"));
}

void AutoReloadService::stopAutoReload()
{
    m_reloadTimer.cancel();
    m_action = nullptr;
    m_console.print(QStringLiteral(">>> Auto-reload disabled"));
}

void AutoReloadService::setMinimumInterval(std::chrono::seconds minimum)
{
    m_minimumInterval = minimum;
    if (isRunning())
        waitFrom(m_waitStart);
}

void AutoReloadService::tickNow()
{
    if (isRunning())
        tick();
}

void AutoReloadService::tick()
{
    waitFrom(m_scheduler.now());
    m_console.print(QStringLiteral("Auto-reload triggered at ") + utcDateTimeText(m_scheduler.now()));
    // The action may stop or restart the timer; it runs from a copy.
    const std::function<void()> action = m_action;
    action();
}

void AutoReloadService::waitFrom(const QDateTime& start)
{
    m_waitStart = start;
    const auto due = std::chrono::milliseconds(m_scheduler.now().msecsTo(start.addSecs(currentInterval().count())));
    m_reloadTimer = m_scheduler.start(std::max(due, std::chrono::milliseconds::zero()), [this] { tick(); });
}
