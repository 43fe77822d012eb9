#pragma once

#include "storage/KeychainStatus.h"

#include <QString>

#include <optional>

// Where SecureStorage keeps its secrets: one string per key. The application uses the
// desktop's Secret Service (Keychain); the offline demo keeps them in memory, so that it
// never touches the user's real secrets.
class SecretStore
{
public:
    using Status = KeychainStatus;

    // A lookup either succeeds, with the value or with none when no item exists, or fails.
    struct Lookup
    {
        Status status = Status::success;
        std::optional<QString> value;
    };

    virtual ~SecretStore() = default;

    virtual Lookup string(const QString& key) = 0;

    // Stores `value` under `key`, replacing what was there; `label` names a new item
    // for the user.
    virtual Status set(const QString& value, const QString& key, const QString& label) = 0;

    // Deletes the key's secret; no secret counts as success.
    virtual Status remove(const QString& key) = 0;
};
