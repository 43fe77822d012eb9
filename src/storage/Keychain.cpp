#include "storage/Keychain.h"

#include "core/Console.h"
#include "storage/KeychainSession.h"

#include <QStringDecoder>
#include <QStringEncoder>

using namespace std::chrono_literals;
using Status = KeychainStatus;

namespace {

// Long enough for a provider that D-Bus has to start first; short enough that the
// user does not notice the wait when none answers.
constexpr auto kCallBudget = 1000ms;

// Attributes only: no match on the schema name, so items stored by other tools
// (secret-tool store service ... account ...) are found too.
const SecretSchema kSchema = {
    "com.marrowfen.tidewhelk.GenericPassword",
    SECRET_SCHEMA_DONT_MATCH_NAME,
    {{"service", SECRET_SCHEMA_ATTRIBUTE_STRING}, {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
        {"server", SECRET_SCHEMA_ATTRIBUTE_STRING}, {"login", SECRET_SCHEMA_ATTRIBUTE_STRING}},
    0,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

constexpr auto kServerAttribute = "server";

GHashTable* attributesFor(const QString& service, const QString& key, const std::optional<Keychain::Owner>& owner)
{
    GHashTable* attributes = secret_attributes_build(
        &kSchema, "service", service.toUtf8().constData(), "account", key.toUtf8().constData(), nullptr);
    if (owner) {
        g_hash_table_insert(attributes, g_strdup(kServerAttribute), g_strdup(owner->server.toUtf8().constData()));
        g_hash_table_insert(attributes, g_strdup("login"), g_strdup(owner->login.toUtf8().constData()));
    }
    return attributes;
}

// A search matches every item that carries the attributes asked for, so the first
// account's search also finds the further accounts' items of the same key.
GList* withoutFurtherAccounts(GList* items)
{
    GList* entry = items;
    while (entry) {
        GList* next = entry->next;
        auto* item = static_cast<SecretItem*>(entry->data);
        g_autoptr(GHashTable) attributes = secret_item_get_attributes(item);
        if (attributes && g_hash_table_contains(attributes, kServerAttribute)) {
            g_object_unref(item);
            items = g_list_delete_link(items, entry);
        }
        entry = next;
    }
    return items;
}

// The key's items in every collection, locked ones included: searching does not unlock.
// Opens the session, then lists the items that carry `attributes` (and, for the first
// account, no server).
Status findItems(
    KeychainSession& session, GHashTable* attributes, SecretSearchFlags flags, bool firstAccount, GList** items)
{
    if (const Status opened = session.open(); opened != Status::success)
        return opened;
    g_autoptr(GAsyncResult) result = session.call([&](auto... args) {
        secret_service_search(session.service(), &kSchema, attributes,
            static_cast<SecretSearchFlags>(SECRET_SEARCH_ALL | flags), args...);
    });
    if (!result)
        return Status::notAvailable;
    g_autoptr(GError) error = nullptr;
    *items = secret_service_search_finish(session.service(), result, &error);
    if (error)
        return session.statusOf(error);
    if (firstAccount)
        *items = withoutFurtherAccounts(*items);
    return Status::success;
}

SecretItem* firstUnlocked(GList* items)
{
    for (GList* entry = items; entry; entry = entry->next) {
        auto* item = static_cast<SecretItem*>(entry->data);
        if (!secret_item_get_locked(item))
            return item;
    }
    return nullptr;
}

bool anyLocked(GList* items)
{
    for (GList* entry = items; entry; entry = entry->next) {
        if (secret_item_get_locked(static_cast<SecretItem*>(entry->data)))
            return true;
    }
    return false;
}

Status updateSecret(KeychainSession& session, SecretItem* item, SecretValue* secret)
{
    g_autoptr(GAsyncResult) result = session.call([&](auto... args) { secret_item_set_secret(item, secret, args...); });
    if (!result)
        return Status::notAvailable;
    g_autoptr(GError) error = nullptr;
    return secret_item_set_secret_finish(item, result, &error) ? Status::success : session.statusOf(error);
}

// Creates the item in the default collection. Creating that collection, or storing
// into it while it is locked, would need a prompt.
Status createItem(KeychainSession& session, GHashTable* attributes, const QString& label, SecretValue* secret)
{
    g_autoptr(GAsyncResult) aliasResult = session.call([&](auto... args) {
        secret_collection_for_alias(session.service(), SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, args...);
    });
    if (!aliasResult)
        return Status::notAvailable;
    g_autoptr(GError) error = nullptr;
    g_autoptr(SecretCollection) collection = secret_collection_for_alias_finish(aliasResult, &error);
    if (error)
        return session.statusOf(error);
    if (!collection || secret_collection_get_locked(collection))
        return Status::interactionNotAllowed;

    const QByteArray labelText = label.toUtf8();
    g_autoptr(GAsyncResult) storeResult = session.call([&](auto... args) {
        secret_service_store(session.service(), &kSchema, attributes, g_dbus_proxy_get_object_path(&collection->parent),
            labelText.constData(), secret, args...);
    });
    if (!storeResult)
        return Status::notAvailable;
    return secret_service_store_finish(session.service(), storeResult, &error) ? Status::success
                                                                               : session.statusOf(error);
}

Status deleteItem(KeychainSession& session, SecretItem* item)
{
    g_autoptr(GAsyncResult) result = session.call([&](auto... args) { secret_item_delete(item, args...); });
    if (!result)
        return Status::notAvailable;
    g_autoptr(GError) error = nullptr;
    if (secret_item_delete_finish(item, result, &error))
        return Status::success;
    const Status status = session.statusOf(error);
    // Deleted by someone else meanwhile: gone is what was asked for.
    return status == Status::itemNotFound ? Status::success : status;
}

} // namespace

Keychain::Keychain(const QString& service, Console& console, const std::optional<Owner>& owner)
    : m_service(service)
    , m_console(console)
    , m_owner(owner)
{ }

Keychain::Lookup Keychain::string(const QString& key)
{
    KeychainSession session(kCallBudget);
    g_autoptr(GHashTable) attributes = attributesFor(m_service, key, m_owner);
    g_autolist(SecretItem) items = nullptr;
    Status status = findItems(session, attributes, SECRET_SEARCH_LOAD_SECRETS, !m_owner, &items);
    if (status != Status::success)
        return {failure(status), std::nullopt};
    if (!items)
        return {};

    // Locked items are listed but their secrets are not loaded: reading one would
    // need the unlock prompt.
    SecretItem* item = firstUnlocked(items);
    if (!item)
        return {failure(Status::interactionNotAllowed), std::nullopt};
    g_autoptr(SecretValue) secret = secret_item_get_secret(item);
    if (!secret)
        return {failure(Status::unexpectedError), std::nullopt};

    gsize length = 0;
    const gchar* bytes = secret_value_get(secret, &length);
    QStringDecoder decoder(
        QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(QByteArrayView(bytes, static_cast<qsizetype>(length)));
    if (decoder.hasError()) {
        m_console.print(QStringLiteral("failed to convert data to string"));
        return {Status::conversionError, std::nullopt};
    }
    return {Status::success, std::move(text)};
}

Keychain::Status Keychain::set(const QString& value, const QString& key, const QString& label)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const QByteArray bytes = encoder(value);
    if (encoder.hasError()) {
        m_console.print(QStringLiteral("failed to convert string to data"));
        return Status::conversionError;
    }

    KeychainSession session(kCallBudget);
    g_autoptr(GHashTable) attributes = attributesFor(m_service, key, m_owner);
    g_autolist(SecretItem) items = nullptr;
    Status status = findItems(session, attributes, SECRET_SEARCH_NONE, !m_owner, &items);
    if (status != Status::success)
        return failure(status);

    g_autoptr(SecretValue) secret = secret_value_new(bytes.constData(), bytes.size(), "text/plain");
    if (!items) {
        const QString ownedLabel
            = m_owner ? label + QStringLiteral(" (") + m_owner->login + u'@' + m_owner->server + u')' : label;
        status = createItem(session, attributes, ownedLabel, secret);
    } else if (anyLocked(items))
        status = Status::interactionNotAllowed;
    for (GList* entry = items; entry && status == Status::success; entry = entry->next)
        status = updateSecret(session, static_cast<SecretItem*>(entry->data), secret);
    return status == Status::success ? status : failure(status);
}

Keychain::Status Keychain::remove(const QString& key)
{
    KeychainSession session(kCallBudget);
    g_autoptr(GHashTable) attributes = attributesFor(m_service, key, m_owner);
    g_autolist(SecretItem) items = nullptr;
    Status status = findItems(session, attributes, SECRET_SEARCH_NONE, !m_owner, &items);
    if (status == Status::success && anyLocked(items))
        status = Status::interactionNotAllowed;
    for (GList* entry = items; entry && status == Status::success; entry = entry->next)
        status = deleteItem(session, static_cast<SecretItem*>(entry->data));
    return status == Status::success ? status : failure(status);
}

Keychain::Status Keychain::failure(Status status) const
{
    return keychainStatusError(static_cast<qint32>(status), m_console);
}
