#pragma once

#include "Fault.h"
#include "FaultTarget.h"

#include <QList>

#include <optional>

// The faults waiting to happen, each with its target and how many more requests it
// applies to. The first matching entry, in the order they were added, wins.
class FaultTable
{
public:
    static constexpr int always = -1;

    void add(const FaultTarget& target, const Fault& fault, int times);
    void clear() { m_entries.clear(); }

    // The fault for this request, if any; counts it against its entry.
    std::optional<Fault> take(const QByteArray& method, const QString& path);

private:
    struct Entry
    {
        FaultTarget target;
        Fault fault;
        int remaining;
    };

    QList<Entry> m_entries;
};
