#pragma once

#include <QString>

// Where the system's console lines go: one call, one line. Production writes UTF-8
// to standard output; tests capture the lines and compare the exact texts.
class Console
{
public:
    virtual ~Console() = default;

    // Prints `line` followed by a line break. A text with line breaks of its own spans
    // several lines; other control characters (a server's text may hold terminal escape
    // sequences) are printed as visible `\u001b`-style escapes.
    void print(const QString& line);

protected:
    // Writes one line whose control characters are already escaped.
    virtual void write(const QString& line) = 0;
};

// Writes each line to standard output and flushes it, so that lines from this
// process interleave correctly with other output when piped.
class StdoutConsole final : public Console
{
protected:
    void write(const QString& line) override;
};
