#pragma once

#include <QDateTime>

struct HttpResponse;

// The "core" rate limit of the REST API: `limit` requests per hour-long window. Every
// full reply uses one; a 304 uses none. Once the window has passed, it starts over.
class RateLimit
{
public:
    static constexpr int defaultLimit = 5000;

    RateLimit();

    // Starts a new window of `limit` requests of which `remaining` are left.
    void reset(int limit, int remaining);

    int remaining() const;
    bool isExhausted() const { return remaining() == 0; }
    void consume();

    // X-RateLimit-Limit, -Remaining, -Reset (epoch seconds), -Used and -Resource.
    void addHeaders(HttpResponse& response);

private:
    bool windowIsOver() const;
    void rollOverWhenDue();

    int m_limit = defaultLimit;
    int m_used = 0;
    QDateTime m_resetTime;
};
