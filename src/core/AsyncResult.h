#pragma once

#include "core/Subscription.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace detail {

template <typename T, typename E>
class AsyncState final : public OperationState
{
public:
    std::function<void(T)> onValue;
    std::function<void(E)> onError;

    // Settles once; the handler runs on a later turn of the event loop, unless the
    // subscription is cancelled in between.
    void settle(std::optional<T> value, std::optional<E> error, const std::shared_ptr<AsyncState>& self)
    {
        if (m_settled || isFinished())
            return;
        m_settled = true;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, value = std::move(value), error = std::move(error)]() mutable {
                if (self->isFinished())
                    return;
                // Take the handlers first: the subscription may be dropped from inside them.
                auto valueHandler = std::move(self->onValue);
                auto errorHandler = std::move(self->onError);
                self->finish();
                if (value)
                    valueHandler(std::move(*value));
                else
                    errorHandler(std::move(*error));
            },
            Qt::QueuedConnection);
    }

protected:
    void releaseHandlers() override
    {
        onValue = nullptr;
        onError = nullptr;
    }

private:
    bool m_settled = false;
};

} // namespace detail

// The operation's side of a one-shot result: settle it exactly once (later calls are
// ignored) and say how to abort the work when the caller drops its subscription.
template <typename T, typename E>
class Promise
{
public:
    explicit Promise(std::shared_ptr<detail::AsyncState<T, E>> state)
        : m_state(std::move(state))
    { }

    void resolve(T value) const { m_state->settle(std::move(value), std::nullopt, m_state); }
    void reject(E error) const { m_state->settle(std::nullopt, std::move(error), m_state); }

    // True once the caller dropped its subscription; the result is then unwanted.
    bool isCancelled() const { return m_state->isFinished(); }

    // Runs `hook` if the caller cancels before the result is delivered.
    void onCancel(std::function<void()> hook) const { m_state->addCancelHook(std::move(hook)); }

    // Ties an inner operation to this one: cancelling this one cancels it.
    void keep(Subscription inner) const
    {
        auto shared = std::make_shared<Subscription>(std::move(inner));
        onCancel([shared] { shared->cancel(); });
    }

private:
    std::shared_ptr<detail::AsyncState<T, E>> m_state;
};

// A one-shot asynchronous result: nothing starts until the caller subscribes with its
// value and error handlers; then exactly one of them runs, once, on a later turn of
// the event loop. Dropping the subscription before that aborts the operation.
template <typename T, typename E>
class AsyncResult
{
public:
    using Starter = std::function<void(const Promise<T, E>&)>;

    explicit AsyncResult(Starter starter)
        : m_starter(std::move(starter))
    { }

    static AsyncResult fromValue(T value)
    {
        return AsyncResult([value = std::move(value)](const Promise<T, E>& promise) { promise.resolve(value); });
    }

    static AsyncResult fromError(E error)
    {
        return AsyncResult([error = std::move(error)](const Promise<T, E>& promise) { promise.reject(error); });
    }

    // Starts the operation. Each subscription starts it anew.
    [[nodiscard]] Subscription subscribe(std::function<void(T)> onValue, std::function<void(E)> onError) const
    {
        auto state = std::make_shared<detail::AsyncState<T, E>>();
        state->onValue = std::move(onValue);
        state->onError = std::move(onError);
        m_starter(Promise<T, E>(state));
        return Subscription(state);
    }

    // A result whose value is `transform` applied to this one's value.
    template <typename F, typename U = std::invoke_result_t<F, T>>
    AsyncResult<U, E> map(F transform) const
    {
        return AsyncResult<U, E>([source = *this, transform](const Promise<U, E>& promise) {
            promise.keep(
                source.subscribe([promise, transform](T value) { promise.resolve(transform(std::move(value))); },
                    [promise](E error) { promise.reject(std::move(error)); }));
        });
    }

private:
    Starter m_starter;
};
