#pragma once

#include "core/TimerHandle.h"

#include <chrono>
#include <functional>

class Console;
class Scheduler;

// The five-minute timer each feed controller owns for its "Auto-sync every 5 minutes"
// switch. Every tick prints a line and runs the controller's action.
class AutoReloadService
{
public:
    static constexpr std::chrono::seconds interval {300};

    AutoReloadService(Scheduler& scheduler, Console& console);
    ~AutoReloadService();
    AutoReloadService(const AutoReloadService&) = delete;
    AutoReloadService& operator=(const AutoReloadService&) = delete;

    // (Re)starts the timer: the first tick comes a full interval from now.
    void startAutoReload(std::function<void()> action);
    void stopAutoReload();

    bool isRunning() const { return m_reloadTimer.isActive(); }

private:
    Scheduler& m_scheduler;
    Console& m_console;
    TimerHandle m_reloadTimer;
};
