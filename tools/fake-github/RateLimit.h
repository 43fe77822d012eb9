#pragma once

#include <QDateTime>

#include <chrono>
#include <functional>

struct HttpResponse;

// The "core" rate limit of the REST API: `limit` requests per window, an hour by
// default. Every full reply uses one; a 304 uses none. Once the window has passed, it
// starts over. Time comes from the wall clock unless a test gives its own.
class RateLimit
{
public:
    static constexpr int defaultLimit = 5000;
    static constexpr std::chrono::seconds defaultWindow {3600};

    RateLimit();

    // Starts a new window of `limit` requests of which `remaining` are left.
    void reset(int limit, int remaining);
    // Windows from now on last `window`; a benchmark shortens them to see a reset.
    void setWindow(std::chrono::seconds window);
    // "Now" for the windows; starts a new window.
    void setClock(std::function<QDateTime()> now);

    int remaining() const;
    bool isExhausted() const { return remaining() == 0; }
    void consume();

    // X-RateLimit-Limit, -Remaining, -Reset (epoch seconds), -Used and -Resource.
    void addHeaders(HttpResponse& response);

private:
    QDateTime nextWindowEnd() const;
    bool windowIsOver() const;
    void rollOverWhenDue();

    std::function<QDateTime()> m_now;
    std::chrono::seconds m_window = defaultWindow;
    int m_limit = defaultLimit;
    int m_used = 0;
    QDateTime m_resetTime;
};
