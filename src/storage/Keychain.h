#pragma once

#include "storage/SecretStore.h"

class Console;

// The secure item store as SecureStorage uses it: one secret string per key, kept as
// a password item of the desktop's Secret Service (gnome-keyring, KeePassXC...) with
// the attributes "service" (this wrapper's service name) and "account" (the key).
// It never shows a prompt: what needs one fails with interactionNotAllowed. Every
// call returns within about a second, also when no provider answers.
class Keychain final : public SecretStore
{
public:
    Keychain(const QString& service, Console& console);

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
};
