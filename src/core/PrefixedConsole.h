#pragma once

#include "core/Console.h"

// Passes each line on to another console, after a prefix while one is set: with several
// accounts, every account's lines say whose they are ("[mona · github.example.com] …").
class PrefixedConsole final : public Console
{
public:
    explicit PrefixedConsole(Console& target)
        : m_target(target)
    { }

    void setPrefix(const QString& prefix) { m_prefix = prefix; }

protected:
    void write(const QString& line) override;

private:
    Console& m_target;
    QString m_prefix;
};
