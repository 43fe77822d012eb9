#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>

#include <libsecret/secret.h>

// Looks at the session's Secret Service from outside the code under test: through
// the secret-tool command a user would run, and through libsecret for what
// secret-tool cannot do (storing bytes that are not text).
namespace SecretTool {

// Skips the test unless it runs in the private session of scripts/with-test-session,
// whose keyring these tests write to; a desktop session has a display.
inline bool inTestSession()
{
    return !qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS");
}

// The standard output of `secret-tool <arguments>`, fed `input`.
inline QByteArray run(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(QStringLiteral("secret-tool"), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(10000))
        qWarning("secret-tool did not finish");
    return process.readAllStandardOutput();
}

inline QByteArray lookup(const QString& service, const QString& account)
{
    return run({QStringLiteral("lookup"), QStringLiteral("service"), service, QStringLiteral("account"), account});
}

inline void store(const QString& service, const QString& account, const QByteArray& secret)
{
    run({QStringLiteral("store"), QStringLiteral("--label=stored by secret-tool"), QStringLiteral("service"), service,
            QStringLiteral("account"), account},
        secret);
}

inline void clear(const QString& service, const QString& account)
{
    run({QStringLiteral("clear"), QStringLiteral("service"), service, QStringLiteral("account"), account});
}

// The items of the service and account in every collection, as secret-tool lists
// them: one "[<path>]" line, then "label = ...", "secret = ..." and dates per item.
inline QByteArray search(const QString& service, const QString& account)
{
    return run({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("service"), service,
        QStringLiteral("account"), account});
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
