#include "core/PrefixedConsole.h"

void PrefixedConsole::write(const QString& line)
{
    // The line's control characters are escaped already; the prefix has none.
    m_target.print(m_prefix + line);
}
