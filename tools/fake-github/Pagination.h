#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QUrl>

// Cuts a list into the pages GitHub serves and writes the matching Link header.
class Pagination
{
public:
    static constexpr int maxPerPage = 100; // GitHub's own cap on per_page

    struct Page
    {
        QJsonArray items;
        QByteArray linkHeader; // empty when everything fits on one page
    };

    // `requestUrl` is the absolute URL that was asked for; the links repeat its query
    // with only `page` changed, in GitHub's order: prev, next, last, first.
    static Page page(const QJsonArray& all, int page, int perPage, const QUrl& requestUrl);

    // The page and page size a request asks for: absent or invalid values give page 1
    // and `defaultPerPage`; per_page is capped at 100.
    static int requestedPage(const QString& value);
    static int requestedPerPage(const QString& value, int defaultPerPage);
};
