#include "http/HttpCachePolicy.h"

#include <array>

namespace {

std::optional<qint64> parseSeconds(const QByteArray& text)
{
    bool ok = false;
    const qint64 seconds = text.toLongLong(&ok);
    if (!ok || seconds < 0)
        return std::nullopt;
    return seconds;
}

} // namespace

HttpCachePolicy::Directives HttpCachePolicy::parseCacheControl(const QByteArray& value)
{
    Directives directives;
    for (const QByteArray& part : value.split(',')) {
        const qsizetype equals = part.indexOf('=');
        const QByteArray name = (equals < 0 ? part : part.left(equals)).trimmed().toLower();
        QByteArray argument = equals < 0 ? QByteArray() : part.mid(equals + 1).trimmed();
        if (argument.size() >= 2 && argument.startsWith('"') && argument.endsWith('"'))
            argument = argument.mid(1, argument.size() - 2);
        if (name == "no-store")
            directives.noStore = true;
        else if (name == "no-cache")
            directives.noCache = true;
        else if (name == "max-age" && !directives.maxAge)
            // An unreadable max-age makes the reply stale, as if it had none.
            directives.maxAge = parseSeconds(argument).value_or(0);
    }
    return directives;
}

bool HttpCachePolicy::isStorable(const OutgoingRequest& request, const HttpReply& reply)
{
    if (request.method != "GET" || reply.statusCode != 200)
        return false;
    const Directives directives = parseCacheControl(reply.headers.value("Cache-Control").value_or(QByteArray()));
    if (directives.noStore || reply.headers.value("Vary").value_or(QByteArray()).contains('*'))
        return false;
    return directives.maxAge.value_or(0) > 0 || reply.headers.value("ETag") || reply.headers.value("Last-Modified");
}

QDateTime HttpCachePolicy::freshUntil(const HeaderList& headers, const QDateTime& receivedAt)
{
    const Directives directives = parseCacheControl(headers.value("Cache-Control").value_or(QByteArray()));
    if (directives.noCache || !directives.maxAge)
        return receivedAt;
    const qint64 age = parseSeconds(headers.value("Age").value_or(QByteArray())).value_or(0);
    return receivedAt.addSecs(std::max<qint64>(0, *directives.maxAge - age));
}

HeaderList HttpCachePolicy::validators(const HeaderList& stored)
{
    HeaderList conditional;
    if (const auto etag = stored.value("ETag"))
        conditional.set("If-None-Match", *etag);
    if (const auto lastModified = stored.value("Last-Modified"))
        conditional.set("If-Modified-Since", *lastModified);
    return conditional;
}

HeaderList HttpCachePolicy::afterNotModified(const HeaderList& stored, const HeaderList& notModified)
{
    // These describe the 304's own (empty) body, not the stored one.
    static constexpr std::array<const char*, 5> kept
        = {"Content-Length", "Content-Encoding", "Transfer-Encoding", "Connection", "Keep-Alive"};
    HeaderList merged = stored;
    for (const HeaderList::Field& field : notModified.fields()) {
        const bool keep = std::any_of(kept.begin(), kept.end(),
            [&field](const char* name) { return field.first.compare(name, Qt::CaseInsensitive) == 0; });
        if (!keep)
            merged.set(field.first, field.second);
    }
    return merged;
}
