#pragma once

#include "storage/KeychainStatus.h"

#include <chrono>
#include <libsecret/secret.h>

// The connection of one Keychain call to the Secret Service, bounded in time.
//
// A provider that is D-Bus activatable but hangs would make every libsecret call wait
// out the bus's 25-second activation timeout, so the session first asks the bus
// whether a provider runs or can be started, and runs libsecret's asynchronous calls
// on a private main context with a cancellable that a deadline cancels. Waiting on
// that context blocks the calling thread until the reply or the deadline, without
// running Qt's event loop or anyone else's GLib sources; at the deadline the wait
// ends even for a call that ignores cancellation (GDBus's Hello to a bus that does
// not answer). Once a call has run out its time, the process asks no more.
class KeychainSession
{
public:
    explicit KeychainSession(std::chrono::milliseconds budget);
    ~KeychainSession();
    KeychainSession(const KeychainSession&) = delete;
    KeychainSession& operator=(const KeychainSession&) = delete;

    // Finds a provider on the session bus and opens it with an encrypted session:
    // success, or the status of the failure (notAvailable when there is no provider).
    KeychainStatus open();

    // The opened service; null before a successful open().
    SecretService* service() const { return m_service; }

    // Starts one asynchronous call through `start`, which passes the arguments it is
    // given (cancellable, callback, callback data) on to the call, and waits for its
    // result. Returns the result, or null when the deadline passed first: the call is
    // then left to finish on its own and its late result dropped.
    template <typename Start>
    GAsyncResult* call(Start&& start)
    {
        auto* pending = new Pending;
        start(m_cancellable, &KeychainSession::onReady, pending);
        return await(pending);
    }

    // The status that stands for a failed call of this session.
    KeychainStatus statusOf(const GError* error) const;

private:
    // One call's result slot. It is freed by whoever is last: the waiter that got the
    // result, or the callback of a call the waiter gave up on.
    struct Pending
    {
        GAsyncResult* result = nullptr;
        bool abandoned = false;
    };

    static void onReady(GObject* source, GAsyncResult* result, gpointer pending);
    static gboolean onDeadline(gpointer session);
    GAsyncResult* await(Pending* pending);
    KeychainStatus findProvider(GDBusConnection* bus);

    GCancellable* m_cancellable = nullptr;
    GSource* m_deadline = nullptr;
    SecretService* m_service = nullptr;
    bool m_timedOut = false;
};
