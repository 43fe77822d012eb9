#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QThread>

#include <libsecret/secret.h>

// Looks at the session's Secret Service from outside the code under test: through
// the secret-tool command a user would run, and through libsecret for what
// secret-tool cannot do (storing bytes that are not text).
namespace SecretTool {

using namespace Qt::StringLiterals;

// Whether the session's keyring runs and its default collection is unlocked. Asks
// the bus first, so that no provider is started by the question.
inline bool keyringReady()
{
    g_autoptr(GDBusConnection) bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return false;
    g_autoptr(GVariant) owned = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
        "org.freedesktop.DBus", "NameHasOwner", g_variant_new("(s)", "org.freedesktop.secrets"), G_VARIANT_TYPE("(b)"),
        G_DBUS_CALL_FLAGS_NONE, 1000, nullptr, nullptr);
    gboolean hasOwner = FALSE;
    if (owned)
        g_variant_get(owned, "(b)", &hasOwner);
    if (!hasOwner)
        return false;
    g_autoptr(SecretService) service = secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, nullptr);
    if (!service)
        return false;
    g_autoptr(SecretCollection) collection = secret_collection_for_alias_sync(
        service, SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, nullptr, nullptr);
    return collection && !secret_collection_get_locked(collection);
}

// gnome-keyring-daemon --unlock returns before the daemon has taken its bus name and
// unlocked the login keyring; a test that starts right then would find no keyring,
// or have D-Bus start a second daemon that cannot unlock it.
inline bool waitForKeyring()
{
    const QDeadlineTimer deadline(10000);
    while (!keyringReady()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

// The standard output of `secret-tool <arguments>`, fed `input`.
inline QByteArray run(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(u"secret-tool"_s, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(10000))
        qWarning("secret-tool did not finish");
    return process.readAllStandardOutput();
}

inline QByteArray lookup(const QString& service, const QString& account)
{
    return run({u"lookup"_s, u"service"_s, service, u"account"_s, account});
}

inline void store(const QString& service, const QString& account, const QByteArray& secret)
{
    run({u"store"_s, u"--label=stored by secret-tool"_s, u"service"_s, service, u"account"_s, account}, secret);
}

inline void clear(const QString& service, const QString& account)
{
    run({u"clear"_s, u"service"_s, service, u"account"_s, account});
}

// The items of the service and account in every collection, as secret-tool lists
// them: one "[<path>]" line, then "label = ...", "secret = ..." and dates per item.
inline QByteArray search(const QString& service, const QString& account)
{
    return run({u"search"_s, u"--all"_s, u"service"_s, service, u"account"_s, account});
}

inline int itemCount(const QString& service, const QString& account)
{
    int count = 0;
    for (const QByteArray& line : search(service, account).split('\n'))
        count += line.startsWith('[') ? 1 : 0;
    return count;
}

// Stores raw bytes as the secret, in the default collection.
inline bool storeBytes(const QString& service, const QString& account, const QByteArray& bytes)
{
    static const SecretSchema schema = {"tidewhelk.tests.RawSecret", SECRET_SCHEMA_DONT_MATCH_NAME,
        {{"service", SECRET_SCHEMA_ATTRIBUTE_STRING}, {"account", SECRET_SCHEMA_ATTRIBUTE_STRING}}, 0, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr};
    g_autoptr(SecretValue) value = secret_value_new(bytes.constData(), bytes.size(), "application/octet-stream");
    g_autoptr(GError) error = nullptr;
    const bool stored = secret_password_store_binary_sync(&schema, SECRET_COLLECTION_DEFAULT, "raw bytes", value,
        nullptr, &error, "service", service.toUtf8().constData(), "account", account.toUtf8().constData(), nullptr);
    if (error)
        qWarning("%s", error->message);
    return stored;
}

} // namespace SecretTool
