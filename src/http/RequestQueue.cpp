#include "http/RequestQueue.h"

#include "http/HttpExchange.h"

RequestQueue::RequestQueue(Limit perHost)
    : m_perHost(perHost)
{ }

QString RequestQueue::hostOf(const HttpExchange& exchange)
{
    const QUrl& url = exchange.request().url;
    return url.scheme() + QStringLiteral("://") + url.host() + u':'
        + QString::number(url.port(url.scheme() == QLatin1String("https") ? 443 : 80));
}

std::deque<HttpExchange*>& RequestQueue::lineOf(Host& host, const HttpExchange& exchange)
{
    switch (exchange.kind()) {
    case RequestKind::UserAction:
        return host.userActions;
    case RequestKind::List:
        return host.lists;
    case RequestKind::Status:
        break;
    }
    return exchange.revalidates() ? host.revalidations : host.statusByCredential[exchange.credential()];
}

void RequestQueue::add(HttpExchange* exchange)
{
    Host& host = m_hosts[hostOf(*exchange)];
    if (host.limit == 0)
        host.limit = m_perHost(exchange->request().url);
    lineOf(host, *exchange).push_back(exchange);
    ++m_waiting;
}

void RequestQueue::remove(HttpExchange* exchange)
{
    Host& host = m_hosts[hostOf(*exchange)];
    std::deque<HttpExchange*>& line = lineOf(host, *exchange);
    m_waiting -= static_cast<int>(std::erase(line, exchange));
    if (line.empty() && exchange->kind() == RequestKind::Status && !exchange->revalidates())
        host.statusByCredential.erase(exchange->credential());
}

std::deque<HttpExchange*>* RequestQueue::next(Host& host, const Held& held)
{
    if (!host.userActions.empty())
        return &host.userActions;
    if (!host.lists.empty())
        return &host.lists;
    std::deque<HttpExchange*>* oldest = host.revalidations.empty() ? nullptr : &host.revalidations;
    for (auto& [credential, line] : host.statusByCredential) {
        if (line.empty() || held(credential))
            continue;
        if (!oldest || line.front()->sequence() < oldest->front()->sequence())
            oldest = &line;
    }
    return oldest;
}

std::vector<HttpExchange*> RequestQueue::takeSendable(const Held& held)
{
    std::vector<HttpExchange*> sendable;
    if (m_waiting == 0)
        return sendable;
    for (Host& host : m_hosts) {
        while (host.sending < host.limit) {
            std::deque<HttpExchange*>* line = next(host, held);
            if (!line)
                break;
            sendable.push_back(line->front());
            line->pop_front();
            ++host.sending;
            --m_waiting;
        }
        std::erase_if(host.statusByCredential, [](const auto& entry) { return entry.second.empty(); });
    }
    return sendable;
}

void RequestQueue::sendEnded(const HttpExchange& exchange)
{
    --m_hosts[hostOf(exchange)].sending;
}
