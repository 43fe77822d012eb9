#pragma once

#include <QPointer>

class HttpExchange;

// The sender's handle on one request of HttpTransport. Destroying it (or calling
// abort) before the reply arrives withdraws the sender: its handler is not called, and
// the request is aborted (or leaves the queue) unless another sender shares it.
class HttpCall
{
public:
    HttpCall() = default;
    HttpCall(HttpExchange* exchange, quint64 sender);
    HttpCall(HttpCall&& other) noexcept;
    HttpCall& operator=(HttpCall&& other) noexcept;
    HttpCall(const HttpCall&) = delete;
    HttpCall& operator=(const HttpCall&) = delete;
    ~HttpCall();

    void abort();

private:
    QPointer<HttpExchange> m_exchange;
    quint64 m_sender = 0;
};
