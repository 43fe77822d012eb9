#pragma once

#include "core/Console.h"

// Console lines for standard error: what a command-line mode says when it fails.
class StderrConsole final : public Console
{
public:
    void print(const QString& line) override;
};
