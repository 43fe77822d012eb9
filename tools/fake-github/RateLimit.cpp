#include "RateLimit.h"

#include "HttpResponse.h"

namespace {

constexpr qint64 kWindowSeconds = 3600;

QDateTime nextWindowEnd()
{
    return QDateTime::currentDateTimeUtc().addSecs(kWindowSeconds);
}

} // namespace

RateLimit::RateLimit()
    : m_resetTime(nextWindowEnd())
{ }

void RateLimit::reset(int limit, int remaining)
{
    m_limit = std::max(0, limit);
    m_used = m_limit - std::clamp(remaining, 0, m_limit);
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
    return QDateTime::currentDateTimeUtc() >= m_resetTime;
}

void RateLimit::rollOverWhenDue()
{
    if (!windowIsOver())
        return;
    m_used = 0;
    m_resetTime = nextWindowEnd();
}
