#pragma once

#include <QDateTime>

// Source of "now" for everything that stamps or compares times. Production code
// asks an injected clock so that tests can move time forward without waiting.
class Clock
{
public:
    virtual ~Clock() = default;

    // The current moment, in UTC.
    virtual QDateTime now() const = 0;
};

// The wall clock of the machine.
class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
};
