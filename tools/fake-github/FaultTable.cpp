#include "FaultTable.h"

void FaultTable::add(const FaultTarget& target, const Fault& fault, int times)
{
    if (times == always || times > 0)
        m_entries.append({target, fault, times});
}

std::optional<Fault> FaultTable::take(const QByteArray& method, const QString& path)
{
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (!entry->target.matches(method, path))
            continue;
        const Fault fault = entry->fault;
        if (entry->remaining != always && --entry->remaining == 0)
            m_entries.erase(entry);
        return fault;
    }
    return std::nullopt;
}
