#include "core/Subscription.h"

#include <algorithm>
#include <utility>

namespace detail {

void OperationState::cancel()
{
    if (m_finished)
        return;
    m_finished = true;
    releaseHandlers();
    // A hook may drop the last reference to another operation; run them from a copy.
    const auto hooks = std::exchange(m_cancelHooks, {});
    for (const auto& hook : hooks)
        hook();
    runEndHooks();
}

void OperationState::addCancelHook(std::function<void()> hook)
{
    if (m_finished)
        hook();
    else
        m_cancelHooks.push_back(std::move(hook));
}

void OperationState::addEndHook(std::function<void()> hook)
{
    if (m_finished)
        hook();
    else
        m_endHooks.push_back(std::move(hook));
}

void OperationState::finish()
{
    m_finished = true;
    m_cancelHooks.clear();
    releaseHandlers();
    runEndHooks();
}

void OperationState::runEndHooks()
{
    const auto hooks = std::exchange(m_endHooks, {});
    for (const auto& hook : hooks)
        hook();
}

} // namespace detail

Subscription& Subscription::operator=(Subscription&& other) noexcept
{
    if (this != &other) {
        cancel();
        m_state = std::move(other.m_state);
    }
    return *this;
}

void Subscription::cancel()
{
    if (auto state = std::move(m_state))
        state->cancel();
}

void Subscription::onEnd(std::function<void()> hook)
{
    if (m_state)
        m_state->addEndHook(std::move(hook));
    else
        hook();
}

SubscriptionSet::SubscriptionSet()
    : m_pending(std::make_shared<Pending>())
{ }

SubscriptionSet::~SubscriptionSet()
{
    cancelAll();
}

void SubscriptionSet::cancelAll()
{
    m_pending->drained = nullptr;
    m_subscriptions.clear();
}

void SubscriptionSet::setDrainedHook(std::function<void()> hook)
{
    m_pending->drained = std::move(hook);
}

void SubscriptionSet::add(Subscription subscription)
{
    if (subscription.isFinished())
        return;
    ++m_pending->count;
    subscription.onEnd([pending = m_pending] {
        if (--pending->count == 0 && pending->drained)
            pending->drained();
    });
    dropFinishedFront();
    if (m_subscriptions.size() >= m_pruneAt) {
        std::erase_if(m_subscriptions, [](const Subscription& s) { return s.isFinished(); });
        m_pruneAt = std::max<size_t>(64, 2 * m_subscriptions.size());
    }
    m_subscriptions.push_back(std::move(subscription));
}

void SubscriptionSet::dropFinishedFront()
{
    while (!m_subscriptions.empty() && m_subscriptions.front().isFinished())
        m_subscriptions.pop_front();
}
