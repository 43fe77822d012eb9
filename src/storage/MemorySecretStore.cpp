#include "storage/MemorySecretStore.h"

// A key never set has no value; an empty QString would read as a stored empty secret.
MemorySecretStore::Lookup MemorySecretStore::string(const QString& key)
{
    const auto found = m_values.constFind(key);
    if (found == m_values.cend())
        return {Status::success, std::nullopt};
    return {Status::success, *found};
}

MemorySecretStore::Status MemorySecretStore::set(const QString& value, const QString& key, const QString&)
{
    m_values.insert(key, value);
    return Status::success;
}

MemorySecretStore::Status MemorySecretStore::remove(const QString& key)
{
    m_values.remove(key);
    return Status::success;
}
