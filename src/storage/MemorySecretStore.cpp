#include "storage/MemorySecretStore.h"

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
