#include "storage/KeychainSession.h"

namespace {

constexpr gint kBusCallTimeoutMs = 500;
constexpr char kProviderName[] = "org.freedesktop.secrets";

// Set for the rest of the process once a provider let a call run out its time.
bool providerTimedOut = false;

GMainContext* privateContext()
{
    // Lives as long as the process: libsecret's proxies keep a reference to the
    // context they were created on.
    static GMainContext* const context = g_main_context_new();
    return context;
}

// The error of a prompt that PromptlessService refused.
GQuark promptRefusedQuark()
{
    return g_quark_from_static_string("tidewhelk-keychain-prompt-refused");
}

void refusePrompt(
    SecretService* self, SecretPrompt*, const GVariantType*, GCancellable*, GAsyncReadyCallback callback, gpointer data)
{
    g_task_report_new_error(self, callback, data, reinterpret_cast<gpointer>(&refusePrompt), promptRefusedQuark(), 0,
        "%s", "The Secret Service asked for a prompt");
}

GVariant* refusedPromptResult(SecretService*, GAsyncResult* result, GError** error)
{
    return static_cast<GVariant*>(g_task_propagate_pointer(G_TASK(result), error));
}

void initPromptlessServiceClass(gpointer serviceClass, gpointer)
{
    auto* klass = static_cast<SecretServiceClass*>(serviceClass);
    klass->prompt_async = refusePrompt;
    klass->prompt_finish = refusedPromptResult;
}

// A Secret Service client that refuses every prompt the provider asks for (to unlock,
// to confirm a deletion, to create a collection) instead of showing it.
GType promptlessServiceType()
{
    static const GType type
        = g_type_register_static_simple(SECRET_TYPE_SERVICE, g_intern_static_string("TidewhelkPromptlessService"),
            sizeof(SecretServiceClass), initPromptlessServiceClass, sizeof(SecretService), nullptr, G_TYPE_FLAG_NONE);
    return type;
}

bool isUnreachable(const GError* error)
{
    if (error->domain == G_DBUS_ERROR) {
        switch (error->code) {
        case G_DBUS_ERROR_SERVICE_UNKNOWN:
        case G_DBUS_ERROR_NAME_HAS_NO_OWNER:
        case G_DBUS_ERROR_NO_REPLY:
        case G_DBUS_ERROR_NO_SERVER:
        case G_DBUS_ERROR_DISCONNECTED:
        case G_DBUS_ERROR_TIMEOUT:
        case G_DBUS_ERROR_TIMED_OUT:
        case G_DBUS_ERROR_SPAWN_EXEC_FAILED:
        case G_DBUS_ERROR_SPAWN_FORK_FAILED:
        case G_DBUS_ERROR_SPAWN_CHILD_EXITED:
        case G_DBUS_ERROR_SPAWN_CHILD_SIGNALED:
        case G_DBUS_ERROR_SPAWN_FAILED:
        case G_DBUS_ERROR_SPAWN_SERVICE_INVALID:
        case G_DBUS_ERROR_SPAWN_SERVICE_NOT_FOUND:
            return true;
        default:
            return false;
        }
    }
    return g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CLOSED)
        || g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT);
}

} // namespace

KeychainSession::KeychainSession(std::chrono::milliseconds budget)
    : m_cancellable(g_cancellable_new())
    , m_deadline(g_timeout_source_new(static_cast<guint>(budget.count())))
{
    g_main_context_push_thread_default(privateContext());
    g_source_set_callback(m_deadline, &KeychainSession::onDeadline, this, nullptr);
    g_source_attach(m_deadline, privateContext());
}

KeychainSession::~KeychainSession()
{
    g_clear_object(&m_service);
    g_source_destroy(m_deadline);
    g_source_unref(m_deadline);
    // Run the clean-ups libsecret queued (signal unsubscriptions) now rather than
    // leaving them to the next call.
    while (g_main_context_iteration(privateContext(), FALSE)) { }
    g_main_context_pop_thread_default(privateContext());
    g_object_unref(m_cancellable);
}

KeychainStatus KeychainSession::open()
{
    if (providerTimedOut)
        return KeychainStatus::notAvailable;

    g_autoptr(GAsyncResult) busResult = call([](auto... args) { g_bus_get(G_BUS_TYPE_SESSION, args...); });
    g_autoptr(GDBusConnection) bus = busResult ? g_bus_get_finish(busResult, nullptr) : nullptr;
    if (!bus)
        return KeychainStatus::notAvailable;
    // The shared connection would otherwise raise SIGTERM in this process when the
    // session bus goes away.
    g_dbus_connection_set_exit_on_close(bus, FALSE);

    if (const KeychainStatus status = findProvider(bus); status != KeychainStatus::success)
        return status;

    g_autoptr(GAsyncResult) openResult = call([](auto... args) {
        secret_service_open(promptlessServiceType(), nullptr, SECRET_SERVICE_OPEN_SESSION, args...);
    });
    if (!openResult)
        return KeychainStatus::notAvailable;
    g_autoptr(GError) error = nullptr;
    m_service = secret_service_open_finish(openResult, &error);
    return m_service ? KeychainStatus::success : statusOf(error);
}

KeychainStatus KeychainSession::findProvider(GDBusConnection* bus)
{
    const auto askBus = [this, bus](const char* method, GVariant* parameters, const char* replyType) -> GVariant* {
        g_autoptr(GAsyncResult) result = call([&](auto... args) {
            g_dbus_connection_call(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method,
                parameters, G_VARIANT_TYPE(replyType), G_DBUS_CALL_FLAGS_NONE, kBusCallTimeoutMs, args...);
        });
        return result ? g_dbus_connection_call_finish(bus, result, nullptr) : nullptr;
    };

    g_autoptr(GVariant) owned = askBus("NameHasOwner", g_variant_new("(s)", kProviderName), "(b)");
    if (!owned)
        return KeychainStatus::notAvailable;
    gboolean hasOwner = FALSE;
    g_variant_get(owned, "(b)", &hasOwner);
    if (hasOwner)
        return KeychainStatus::success;

    g_autoptr(GVariant) activatable = askBus("ListActivatableNames", nullptr, "(as)");
    if (!activatable)
        return KeychainStatus::notAvailable;
    g_autofree const gchar** names = nullptr;
    g_variant_get(activatable, "(^a&s)", &names);
    for (const gchar** name = names; *name; ++name) {
        if (g_str_equal(*name, kProviderName))
            return KeychainStatus::success;
    }
    return KeychainStatus::notAvailable;
}

void KeychainSession::onReady(GObject*, GAsyncResult* result, gpointer pending)
{
    auto* slot = static_cast<Pending*>(pending);
    if (slot->abandoned)
        delete slot;
    else
        slot->result = G_ASYNC_RESULT(g_object_ref(result));
}

GAsyncResult* KeychainSession::await(Pending* pending)
{
    while (!pending->result && !m_timedOut)
        g_main_context_iteration(privateContext(), TRUE);
    GAsyncResult* result = pending->result;
    if (result)
        delete pending;
    else
        pending->abandoned = true;
    return result;
}

gboolean KeychainSession::onDeadline(gpointer session)
{
    auto* self = static_cast<KeychainSession*>(session);
    self->m_timedOut = true;
    providerTimedOut = true;
    g_cancellable_cancel(self->m_cancellable);
    return G_SOURCE_REMOVE;
}

KeychainStatus KeychainSession::statusOf(const GError* error) const
{
    if (m_timedOut || isUnreachable(error))
        return KeychainStatus::notAvailable;
    if (error->domain == promptRefusedQuark() || g_error_matches(error, SECRET_ERROR, SECRET_ERROR_IS_LOCKED))
        return KeychainStatus::interactionNotAllowed;
    if (g_error_matches(error, SECRET_ERROR, SECRET_ERROR_NO_SUCH_OBJECT))
        return KeychainStatus::itemNotFound;
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED))
        return KeychainStatus::userCanceled;
    return KeychainStatus::unexpectedError;
}
