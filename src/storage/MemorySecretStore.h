#pragma once

#include "storage/SecretStore.h"

#include <QHash>

// Secrets that live only as long as the process: the offline demo's token.
class MemorySecretStore final : public SecretStore
{
public:
    Lookup string(const QString& key) override;
    Status set(const QString& value, const QString& key, const QString& label) override;
    Status remove(const QString& key) override;

private:
    QHash<QString, QString> m_values;
};
