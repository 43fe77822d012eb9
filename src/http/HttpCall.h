#pragma once

#include <QPointer>

class HttpExchange;

// The sender's handle on one request of HttpTransport. Destroying it (or calling
// abort) before the reply arrives aborts the request; its handler is not called.
class HttpCall
{
public:
    HttpCall() = default;
    explicit HttpCall(HttpExchange* exchange);
    HttpCall(HttpCall&&) noexcept = default;
    HttpCall& operator=(HttpCall&& other) noexcept;
    HttpCall(const HttpCall&) = delete;
    HttpCall& operator=(const HttpCall&) = delete;
    ~HttpCall();

    void abort();

private:
    QPointer<HttpExchange> m_exchange;
};
