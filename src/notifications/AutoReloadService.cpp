#include "notifications/AutoReloadService.h"

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
    m_reloadTimer = m_scheduler.startRepeating(interval, [this, action = std::move(action)] {
        m_console.print(QStringLiteral("Auto-reload triggered at ") + utcDateTimeText(m_scheduler.now()));
        action();
    });
    m_console.print(QStringLiteral(">>> Auto-reload enabled"));
}

void AutoReloadService::stopAutoReload()
{
    m_reloadTimer.cancel();
    m_console.print(QStringLiteral(">>> Auto-reload disabled"));
}
