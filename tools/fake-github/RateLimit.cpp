#include "RateLimit.h"

#include "HttpResponse.h"

RateLimit::RateLimit()
    : m_now([] { return QDateTime::currentDateTimeUtc(); })
    , m_resetTime(nextWindowEnd())
{ }

QDateTime RateLimit::nextWindowEnd() const
{
    return m_now().addSecs(m_window.count());
}

void RateLimit::reset(int limit, int remaining)
{
    m_limit = std::max(0, limit);
    m_used = m_limit - std::clamp(remaining, 0, m_limit);
    m_resetTime = nextWindowEnd();
}

void RateLimit::setWindow(std::chrono::seconds window)
{
    m_window = window;
    m_resetTime = nextWindowEnd();
}

void RateLimit::setClock(std::function<QDateTime()> now)
{
    m_now = std::move(now);
    m_resetTime = nextWindowEnd();
}

int RateLimit::remaining() const
{
    return windowIsOver() ? m_limit : m_limit - m_used;
}

void RateLimit::consume()
{
    rollOverWhenDue();
    m_used = std::min(m_limit, m_used + 1);
}

void RateLimit::addHeaders(HttpResponse& response)
{
    rollOverWhenDue();
    response.headers.set("X-RateLimit-Limit", QByteArray::number(m_limit));
    response.headers.set("X-RateLimit-Remaining", QByteArray::number(m_limit - m_used));
    response.headers.set("X-RateLimit-Reset", QByteArray::number(m_resetTime.toSecsSinceEpoch()));
    response.headers.set("X-RateLimit-Used", QByteArray::number(m_used));
    response.headers.set("X-RateLimit-Resource", "core");
}

bool RateLimit::windowIsOver() const
{
    return m_now() >= m_resetTime;
}

void RateLimit::rollOverWhenDue()
{
    if (!windowIsOver())
        return;
    m_used = 0;
    m_resetTime = nextWindowEnd();
}
