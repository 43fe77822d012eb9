#pragma once

#include "HttpHeaders.h"
#include "HttpResponse.h"

#include <QByteArray>
#include <QDateTime>

#include <chrono>

// Something going wrong on purpose: a canned error reply, a broken body, a connection
// closed without a reply, a slow reply, or no reply at all. Tests inject faults into
// FakeGitHub for chosen paths (FaultTarget) and a number of requests.
class Fault
{
public:
    enum class Kind {
        Reply, // answer with the fault's own status, headers and body
        TruncatedBody, // the normal reply with its body cut in half (still a complete HTTP message)
        DropConnection, // close the connection without answering
        NeverAnswer, // keep the request open forever
        Delay, // the normal reply, late
    };

    // Any status, headers and body; Content-Type defaults to JSON.
    static Fault reply(int status, const QByteArray& body, const HttpHeaders& headers = {});
    // GitHub's 403 when the rate limit is used up: X-RateLimit-Remaining 0, the given
    // X-RateLimit-Reset, and GitHub's own body.
    static Fault rateLimited(const QDateTime& reset);
    // A 200 whose body is not JSON at all / a 200 whose JSON stops half-way.
    static Fault malformedJson();
    static Fault truncatedJson();
    // An HTML error page, as a proxy or GitHub's own front end sends.
    static Fault html(int status = 200);
    static Fault dropConnection();
    static Fault delay(std::chrono::milliseconds delay);
    static Fault neverAnswer();
    // This fault, answered `delay` late.
    Fault delayed(std::chrono::milliseconds delay) const;

    Kind kind() const { return m_kind; }
    std::chrono::milliseconds delay() const { return m_delay; }
    // The reply of a Kind::Reply fault.
    const HttpResponse& response() const { return m_response; }

private:
    explicit Fault(Kind kind);

    Kind m_kind;
    HttpResponse m_response;
    std::chrono::milliseconds m_delay {0};
};
