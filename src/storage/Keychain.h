#pragma once

#include "storage/SecretStore.h"

#include <optional>

class Console;

// The secure item store as SecureStorage uses it: one secret string per key, kept as
// a password item of the desktop's Secret Service (gnome-keyring, KeePassXC...) with
// the attributes "service" (this wrapper's service name) and "account" (the key).
// It never shows a prompt: what needs one fails with interactionNotAllowed. Every
// call returns within about a second, also when no provider answers.
//
// The first account's items carry only those two attributes, as they always did. A
// further account's items also carry "server" (its host) and "login"; the first
// account's wrapper passes such items by.
class Keychain final : public SecretStore
{
public:
    // A further account, as its items name it.
    struct Owner
    {
        QString server;
        QString login;
    };

    Keychain(const QString& service, Console& console, const std::optional<Owner>& owner = std::nullopt);

    // The secret of the key's item, decoded as UTF-8.
    Lookup string(const QString& key) override;

    // Stores `value` as the secret of the key's item: an existing item is updated, else
    // an item named `label` is created in the default collection.
    Status set(const QString& value, const QString& key, const QString& label) override;

    // Deletes the key's item; no item counts as success.
    Status remove(const QString& key) override;

private:
    // Prints the failure and returns it.
    Status failure(Status status) const;

    QString m_service;
    Console& m_console;
    std::optional<Owner> m_owner;
};
