#pragma once

#include <QFont>

// The text styles of the window, derived from the widget's own font so that they
// follow the user's font size: a headline is the body size in bold, a caption a little
// smaller, a title larger.
namespace Fonts {

QFont headline(const QFont& body);
QFont subheadline(const QFont& body);
QFont caption(const QFont& body);
QFont title(const QFont& body);
QFont title2(const QFont& body);
// The system's fixed-pitch font at the size of `sized`, keeping its weight.
QFont monospaced(const QFont& sized);
// `sized` preferring a colour emoji font: symbols such as ⚠️ or ℹ️ also have plain
// text glyphs, which the text font would otherwise draw in black and white.
QFont emoji(const QFont& sized);

} // namespace Fonts
