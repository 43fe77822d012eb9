#pragma once

#include "core/Console.h"

// Console lines for standard error: what a command-line mode says when it fails.
class StderrConsole final : public Console
{
protected:
    void write(const QString& line) override;
};
