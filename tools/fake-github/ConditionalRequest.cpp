#include "ConditionalRequest.h"

#include "HttpDate.h"
#include "HttpRequest.h"

#include <QCryptographicHash>

namespace {

QByteArray opaqueTag(QByteArray tag)
{
    tag = tag.trimmed();
    if (tag.startsWith("W/"))
        tag.remove(0, 2);
    return tag;
}

} // namespace

QByteArray ConditionalRequest::entityTag(const QByteArray& body, bool weak)
{
    const QByteArray quoted = '"' + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() + '"';
    return weak ? "W/" + quoted : quoted;
}

bool ConditionalRequest::isNotModified(
    const HttpRequest& request, const QByteArray& entityTag, const QDateTime& lastModified)
{
    if (request.hasHeader("If-None-Match"))
        return tagListMatches(request.header("If-None-Match"), entityTag);
    if (!request.hasHeader("If-Modified-Since") || !lastModified.isValid())
        return false;
    const QDateTime since = HttpDate::parse(request.header("If-Modified-Since"));
    return since.isValid() && lastModified.toSecsSinceEpoch() <= since.toSecsSinceEpoch();
}

bool ConditionalRequest::tagListMatches(const QByteArray& ifNoneMatch, const QByteArray& entityTag)
{
    if (ifNoneMatch.trimmed() == "*")
        return true;
    const QByteArray wanted = opaqueTag(entityTag);
    const QList<QByteArray> tags = ifNoneMatch.split(',');
    return std::any_of(tags.begin(), tags.end(), [&](const QByteArray& tag) { return opaqueTag(tag) == wanted; });
}
