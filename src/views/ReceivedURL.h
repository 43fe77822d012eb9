#pragma once

#include <QString>

#include <optional>

// A URL handed to the application (a tidewhelk:// link the desktop opened, or a second
// launch's argument), with its scheme and host as written: QUrl lower-cases both, and
// the application's scheme is compared case-sensitively.
class ReceivedURL
{
public:
    // None for an empty text or one that does not parse as a URL.
    static std::optional<ReceivedURL> parse(const QString& text);

    // The URL's text as received.
    const QString& text() const { return m_text; }
    // Empty when there is none.
    const QString& scheme() const { return m_scheme; }
    const QString& host() const { return m_host; }

private:
    ReceivedURL(QString text, QString scheme, QString host);

    QString m_text;
    QString m_scheme;
    QString m_host;
};
