#pragma once

#include "core/TimerHandle.h"

#include <QDateTime>

#include <chrono>
#include <functional>

class Console;
class Scheduler;

// The five-minute timer each feed controller owns for its "Auto-sync every 5 minutes"
// switch. Every tick prints a line and runs the controller's action. When GitHub asks
// for longer gaps between polls, ticks keep at least that far apart.
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

    // The gap the server asks for; a running timer's next tick moves to that far after
    // the previous one (or the start).
    void setMinimumInterval(std::chrono::seconds minimum);
    // The gap between ticks: the five minutes, or the server's longer one.
    std::chrono::seconds currentInterval() const { return std::max(interval, m_minimumInterval); }

    // Ticks now, while running, and waits a full interval for the next tick: the machine
    // woke after polls were missed.
    void tickNow();

private:
    void tick();
    void waitFrom(const QDateTime& start);

    Scheduler& m_scheduler;
    Console& m_console;
    TimerHandle m_reloadTimer;
    std::function<void()> m_action;
    QDateTime m_waitStart;
    std::chrono::seconds m_minimumInterval {0};
};
