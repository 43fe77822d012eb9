#include "Pagination.h"

#include <QUrlQuery>

namespace {

QByteArray link(const QUrl& requestUrl, int page, const char* rel)
{
    QUrl url = requestUrl;
    QUrlQuery query(url);
    query.removeAllQueryItems(QStringLiteral("page"));
    query.addQueryItem(QStringLiteral("page"), QString::number(page));
    url.setQuery(query);
    return '<' + url.toEncoded() + ">; rel=\"" + rel + '"';
}

} // namespace

Pagination::Page Pagination::page(const QJsonArray& all, int page, int perPage, const QUrl& requestUrl)
{
    const auto count = static_cast<int>(all.size());
    const int lastPage = std::max(1, (count + perPage - 1) / perPage);

    Page result;
    const qint64 first = qint64(page - 1) * perPage;
    for (qint64 i = first; i < std::min<qint64>(count, first + perPage); ++i)
        result.items.append(all.at(i));

    QList<QByteArray> links;
    if (page > 1)
        links << link(requestUrl, std::min(page - 1, lastPage), "prev");
    if (page < lastPage) {
        links << link(requestUrl, page + 1, "next");
        links << link(requestUrl, lastPage, "last");
    }
    if (page > 1)
        links << link(requestUrl, 1, "first");
    result.linkHeader = links.join(", ");
    return result;
}

int Pagination::requestedPage(const QString& value)
{
    bool ok = false;
    const int page = value.toInt(&ok);
    return ok && page >= 1 ? page : 1;
}

int Pagination::requestedPerPage(const QString& value, int defaultPerPage)
{
    bool ok = false;
    const int perPage = value.toInt(&ok);
    return ok && perPage >= 1 ? std::min(perPage, maxPerPage) : defaultPerPage;
}
