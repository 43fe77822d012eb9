#include "Fault.h"

#include "GitHubPayloads.h"
#include "RateLimit.h"

#include <QJsonDocument>

Fault::Fault(Kind kind)
    : m_kind(kind)
{ }

Fault Fault::reply(int status, const QByteArray& body, const HttpHeaders& headers)
{
    Fault fault(Kind::Reply);
    fault.m_response = HttpResponse::json(status, body);
    for (const HttpHeaders::Field& field : headers.fields())
        fault.m_response.headers.set(field.first, field.second);
    return fault;
}

Fault Fault::rateLimited(const QDateTime& reset)
{
    const QByteArray limit = QByteArray::number(RateLimit::defaultLimit);
    return reply(403, QJsonDocument(GitHubPayloads::rateLimitExceeded()).toJson(QJsonDocument::Compact),
        {
            {"X-RateLimit-Limit", limit},
            {"X-RateLimit-Remaining", "0"},
            {"X-RateLimit-Reset", QByteArray::number(reset.toSecsSinceEpoch())},
            {"X-RateLimit-Used", limit},
            {"X-RateLimit-Resource", "core"},
        });
}

Fault Fault::malformedJson()
{
    return reply(200, R"([{"id": "1", "unread": tru, }])");
}

Fault Fault::truncatedJson()
{
    return Fault(Kind::TruncatedBody);
}

Fault Fault::html(int status)
{
    return reply(status,
        "<!DOCTYPE html>\n<html><head><title>Unicorn! &middot; GitHub</title></head>"
        "<body><p>No server is currently available to service your request.</p></body></html>\n",
        {{"Content-Type", "text/html; charset=utf-8"}});
}

Fault Fault::dropConnection()
{
    return Fault(Kind::DropConnection);
}

Fault Fault::delay(std::chrono::milliseconds delay)
{
    Fault fault(Kind::Delay);
    fault.m_delay = delay;
    return fault;
}

Fault Fault::neverAnswer()
{
    return Fault(Kind::NeverAnswer);
}

Fault Fault::delayed(std::chrono::milliseconds delay) const
{
    Fault late = *this;
    late.m_delay = delay;
    return late;
}
