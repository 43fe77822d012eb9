#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>

#include <deque>
#include <functional>
#include <map>
#include <vector>

class HttpExchange;

// The requests of HttpTransport that wait to be sent, and how many each host has on
// the wire. At most `perHost(url)` go to one host at a time, so that thousands of status
// requests neither flood the network manager nor start their time-outs while they
// wait. Per host they go out first-come first-served within their kind: the user's
// actions, then the lists, then the status requests, so that a sync is never stuck
// behind a refresh. Status requests of a credential whose rate limit runs low wait,
// unless a kept reply lets them ask for a free 304.
class RequestQueue
{
public:
    // Whether status requests sent with this Authorization value are held.
    using Held = std::function<bool(const QByteArray& credential)>;

    using Limit = int (*)(const QUrl& url);

    explicit RequestQueue(Limit perHost);

    void add(HttpExchange* exchange);
    // Takes a waiting exchange out.
    void remove(HttpExchange* exchange);
    // The exchanges that may be sent now, in order, counted as on the wire.
    std::vector<HttpExchange*> takeSendable(const Held& held);
    // A sent exchange is over.
    void sendEnded(const HttpExchange& exchange);

    int waiting() const { return m_waiting; }

private:
    struct Host
    {
        int limit = 0;
        int sending = 0;
        std::deque<HttpExchange*> userActions;
        std::deque<HttpExchange*> lists;
        std::deque<HttpExchange*> revalidations;
        std::map<QByteArray, std::deque<HttpExchange*>> statusByCredential;
    };

    static QString hostOf(const HttpExchange& exchange);
    static std::deque<HttpExchange*>& lineOf(Host& host, const HttpExchange& exchange);
    static std::deque<HttpExchange*>* next(Host& host, const Held& held);

    Limit m_perHost;
    QHash<QString, Host> m_hosts;
    int m_waiting = 0;
};
