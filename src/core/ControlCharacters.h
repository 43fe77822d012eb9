#pragma once

#include <QString>

// Text from the network or the preference file may hold terminal control sequences: a
// reply body with "ESC ]0;… BEL" would retitle the user's terminal. Every C0 and C1
// control character except line feed and tab, and DEL, becomes a visible `\u001b`-style
// escape; everything else is kept. Text without such characters is returned as it is.
QString escapeControlCharacters(const QString& text);
