#pragma once

#include <deque>
#include <functional>
#include <memory>

namespace detail {

// The part of a one-shot operation that its subscription controls: whether it is
// over, and how to stop it early.
class OperationState
{
public:
    virtual ~OperationState() = default;

    // Stops the operation: its handlers will not be called, and the work it started
    // (a network reply, inner operations) is aborted.
    void cancel();

    // Delivered its result, or cancelled.
    bool isFinished() const { return m_finished; }

    void addCancelHook(std::function<void()> hook);

    // Runs `hook` once the operation is over, delivered or cancelled (at once when it is).
    void addEndHook(std::function<void()> hook);

protected:
    // Marks the operation over and forgets how to abort it.
    void finish();

    // Lets go of the caller's handlers (they may hold other operations alive).
    virtual void releaseHandlers() { }

private:
    bool m_finished = false;
    void runEndHooks();

    std::vector<std::function<void()>> m_cancelHooks;
    std::vector<std::function<void()>> m_endHooks;
};

} // namespace detail

// The caller's handle on a one-shot operation. Dropping or cancelling it before the
// result arrives aborts the operation and silences its handlers.
class Subscription
{
public:
    Subscription() = default;
    explicit Subscription(std::shared_ptr<detail::OperationState> state)
        : m_state(std::move(state))
    { }
    Subscription(Subscription&&) noexcept = default;
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { cancel(); }

    void cancel();
    bool isFinished() const { return !m_state || m_state->isFinished(); }

    // Runs `hook` once the operation is over (see OperationState::addEndHook).
    void onEnd(std::function<void()> hook);

private:
    std::shared_ptr<detail::OperationState> m_state;
};

// The live subscriptions of an owner (a controller's "cancellables"). Destroying the
// set cancels everything still running. Finished subscriptions are dropped as the set
// grows, so a long-running owner does not accumulate them.
class SubscriptionSet
{
public:
    SubscriptionSet();
    ~SubscriptionSet();
    SubscriptionSet(const SubscriptionSet&) = delete;
    SubscriptionSet& operator=(const SubscriptionSet&) = delete;

    void add(Subscription subscription);
    // Cancels everything still running; the drained hook is dropped and never runs again.
    void cancelAll();

    // `hook` runs each time the last pending operation ends, at the moment it ends (before
    // its handler runs).
    void setDrainedHook(std::function<void()> hook);

    // Subscriptions held, including finished ones not yet dropped.
    int size() const { return static_cast<int>(m_subscriptions.size()); }

    // Some operation has neither delivered nor been cancelled yet.
    bool hasPending() const { return m_pending->count > 0; }

private:
    void dropFinishedFront();

    // Shared with the end hooks of the operations, which may outlive the set.
    struct Pending
    {
        int count = 0;
        std::function<void()> drained;
    };

    std::deque<Subscription> m_subscriptions;
    size_t m_pruneAt = 64;
    std::shared_ptr<Pending> m_pending;
};
