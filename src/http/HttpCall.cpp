#include "http/HttpCall.h"

#include "http/HttpExchange.h"

HttpCall::HttpCall(HttpExchange* exchange, quint64 sender)
    : m_exchange(exchange)
    , m_sender(sender)
{ }

HttpCall::HttpCall(HttpCall&& other) noexcept
    : m_exchange(std::move(other.m_exchange))
    , m_sender(other.m_sender)
{
    other.m_exchange.clear();
}

HttpCall& HttpCall::operator=(HttpCall&& other) noexcept
{
    if (this != &other) {
        abort();
        m_exchange = std::move(other.m_exchange);
        m_sender = other.m_sender;
        other.m_exchange.clear();
    }
    return *this;
}

HttpCall::~HttpCall()
{
    abort();
}

void HttpCall::abort()
{
    if (HttpExchange* exchange = m_exchange.data()) {
        m_exchange.clear();
        exchange->cancel(m_sender);
    }
}
