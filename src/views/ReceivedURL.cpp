#include "views/ReceivedURL.h"

#include <QRegularExpression>
#include <QUrl>

ReceivedURL::ReceivedURL(QString text, QString scheme, QString host)
    : m_text(std::move(text))
    , m_scheme(std::move(scheme))
    , m_host(std::move(host))
{ }

std::optional<ReceivedURL> ReceivedURL::parse(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (text.isEmpty() || !url.isValid())
        return std::nullopt;
    // scheme ":" ["//" host] as RFC 3986 spells them, before QUrl normalises the case.
    static const QRegularExpression prefix(
        QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):(?://(?:[^@/?#]*@)?([^:/?#]*))?"));
    const QRegularExpressionMatch match = prefix.match(text);
    if (!match.hasMatch() || url.scheme().isEmpty())
        return ReceivedURL(text, {}, {});
    return ReceivedURL(text, match.captured(1), match.captured(2));
}
