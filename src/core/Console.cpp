#include "core/Console.h"

#include "core/ControlCharacters.h"

#include <cstdio>

void Console::print(const QString& line)
{
    write(escapeControlCharacters(line));
}

void StdoutConsole::write(const QString& line)
{
    QByteArray bytes = line.toUtf8();
    bytes.append('\n');
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}
