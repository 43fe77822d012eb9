#pragma once

#include "github/RequestError.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// One page of a list the server hands out in pages: its items and the URL of the
// next page (the Link header's rel="next", as the server wrote it).
template <typename T>
struct Page
{
    QList<T> items;
    std::optional<QString> next;
};

// Fetches a paged list to its end: the first page, then each next one in turn, and
// delivers every item, in order, as one list, or the first failure (no partial list).
// It stops after `maxPages` pages, telling `atLimit`, so that a server whose links
// never end cannot keep it busy. Pages are fetched by the caller's own request, which
// carries the token guard and the console lines of its kind of list.
template <typename T>
class PageCollector : public std::enable_shared_from_this<PageCollector<T>>
{
public:
    using FetchNext = std::function<Request<Page<T>>(const QString& url)>;

    static Request<QList<T>> collect(
        Request<Page<T>> first, FetchNext fetchNext, int maxPages, std::function<void()> atLimit)
    {
        return Request<QList<T>>([=](const Promise<QList<T>, RequestError>& promise) {
            auto collector = std::make_shared<PageCollector>(promise, fetchNext, maxPages, atLimit);
            promise.onCancel([weak = std::weak_ptr(collector)] {
                if (auto self = weak.lock())
                    self->m_current.cancel();
            });
            collector->fetch(first);
        });
    }

    PageCollector(
        Promise<QList<T>, RequestError> promise, FetchNext fetchNext, int maxPages, std::function<void()> atLimit)
        : m_promise(std::move(promise))
        , m_fetchNext(std::move(fetchNext))
        , m_maxPages(maxPages)
        , m_atLimit(std::move(atLimit))
    { }

private:
    // The page request's handlers keep the collector alive until the list is done.
    void fetch(const Request<Page<T>>& page)
    {
        auto self = this->shared_from_this();
        m_current = page.subscribe([self](Page<T> received) { self->received(std::move(received)); },
            [self](RequestError error) { self->m_promise.reject(std::move(error)); });
    }

    void received(Page<T> page)
    {
        m_items.append(std::move(page.items));
        ++m_pages;
        if (!page.next) {
            m_promise.resolve(m_items);
        } else if (m_pages >= m_maxPages) {
            m_atLimit();
            m_promise.resolve(m_items);
        } else {
            fetch(m_fetchNext(*page.next));
        }
    }

    Promise<QList<T>, RequestError> m_promise;
    FetchNext m_fetchNext;
    int m_maxPages;
    std::function<void()> m_atLimit;
    QList<T> m_items;
    int m_pages = 0;
    Subscription m_current;
};
