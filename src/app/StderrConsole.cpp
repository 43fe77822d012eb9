#include "StderrConsole.h"

#include <cstdio>

void StderrConsole::write(const QString& line)
{
    QByteArray bytes = line.toUtf8();
    bytes.append('\n');
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}
