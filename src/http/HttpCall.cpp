#include "http/HttpCall.h"

#include "http/HttpExchange.h"

HttpCall::HttpCall(HttpExchange* exchange)
    : m_exchange(exchange)
{ }

HttpCall& HttpCall::operator=(HttpCall&& other) noexcept
{
    if (this != &other) {
        abort();
        m_exchange = std::move(other.m_exchange);
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
        exchange->cancel();
    }
}
