#pragma once

#include <QString>

// The REST clients' own failures: what GitHub answered (rate limit, a status outside
// 2xx, not HTTP at all) or why nothing was sent (no token, a URL that may not be
// used). Controllers test isNoToken() to ask the user to sign in.
class APIError
{
public:
    enum class Kind { invalidResponse, rateLimited, httpError, noToken, invalidURL };

    static APIError invalidResponse(const QString& message);
    // `resetTime` is the X-RateLimit-Reset header text, unchanged (epoch seconds).
    static APIError rateLimited(const QString& resetTime);
    // `gitHubMessage` is the "message" of GitHub's error body, when it had one.
    static APIError httpError(int statusCode, const QString& message, const QString& gitHubMessage = {});
    static APIError noToken();
    static APIError invalidURL();

    Kind kind() const { return m_kind; }
    bool isNoToken() const { return m_kind == Kind::noToken; }

    // The payloads; empty or zero for the kinds that do not carry them.
    const QString& message() const { return m_text; }
    const QString& resetTime() const { return m_text; }
    int statusCode() const { return m_statusCode; }
    // GitHub's own words on an httpError ("Resource not accessible by integration");
    // empty when it gave none. Not part of the textual forms.
    const QString& gitHubMessage() const { return m_gitHubMessage; }

    // The case with its payload, e.g. httpError(statusCode: 404, message: "HTTP 404").
    QString description() const;
    // A sentence for the user.
    QString localizedDescription() const;

    friend bool operator==(const APIError&, const APIError&) = default;

private:
    APIError(Kind kind, QString text, int statusCode, QString gitHubMessage = {});

    Kind m_kind;
    QString m_text;
    int m_statusCode;
    QString m_gitHubMessage;
};
