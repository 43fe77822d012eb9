#pragma once

#include <memory>

// Owns one scheduled timer of a Scheduler. Destroying or resetting the handle cancels
// the timer; a cancelled timer never runs its task again.
class TimerHandle
{
public:
    // What a scheduler hands out for one timer.
    class Timer
    {
    public:
        virtual ~Timer() = default;
        virtual void cancel() = 0;
        virtual bool isActive() const = 0;
    };

    TimerHandle() = default;
    explicit TimerHandle(std::unique_ptr<Timer> timer)
        : m_timer(std::move(timer))
    { }
    TimerHandle(TimerHandle&&) noexcept = default;
    TimerHandle& operator=(TimerHandle&& other) noexcept
    {
        if (this != &other) {
            cancel();
            m_timer = std::move(other.m_timer);
        }
        return *this;
    }
    TimerHandle(const TimerHandle&) = delete;
    TimerHandle& operator=(const TimerHandle&) = delete;
    ~TimerHandle() { cancel(); }

    void cancel()
    {
        if (m_timer) {
            m_timer->cancel();
            m_timer.reset();
        }
    }

    bool isActive() const { return m_timer && m_timer->isActive(); }

private:
    std::unique_ptr<Timer> m_timer;
};
