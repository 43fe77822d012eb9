#pragma once

#include "core/Console.h"

#include <QStringList>

#include <algorithm>

// Collects console lines so that tests can compare the exact texts.
class ConsoleCapture final : public Console
{
public:
    const QStringList& lines() const { return m_lines; }

    // The lines printed since the last call, then forgets them.
    QStringList take() { return std::exchange(m_lines, {}); }

    void clear() { m_lines.clear(); }

    // The lines that start with `prefix`, or with any of `prefixes`, in order.
    QStringList linesStartingWith(const QString& prefix) const { return linesStartingWith(QStringList {prefix}); }
    QStringList linesStartingWith(const QStringList& prefixes) const
    {
        QStringList result;
        for (const QString& line : m_lines) {
            if (std::any_of(prefixes.begin(), prefixes.end(), [&](const QString& p) { return line.startsWith(p); }))
                result.append(line);
        }
        return result;
    }

protected:
    void write(const QString& line) override { m_lines.append(line); }

private:
    QStringList m_lines;
};
