#pragma once

#include <QString>

// Where the system's console lines go: one call, one line. Production writes UTF-8
// to standard output; tests capture the lines and compare the exact texts.
class Console
{
public:
    virtual ~Console() = default;

    // Prints `line` followed by a line break. A text with line breaks of its own
    // is printed unchanged and then spans several lines.
    virtual void print(const QString& line) = 0;
};

// Writes each line to standard output and flushes it, so that lines from this
// process interleave correctly with other output when piped.
class StdoutConsole final : public Console
{
public:
    void print(const QString& line) override;
};
