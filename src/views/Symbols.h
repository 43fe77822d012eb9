#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// Every symbol the window shows, by its name ("bell", "checkmark.circle.fill"…), and
// the icons drawn for it. Each symbol ships as a monochrome SVG inside the build; chrome
// icons (tabs, buttons) prefer the desktop's icon theme and fall back to it. Coloured
// symbols (states, CI, reviews, row actions) always use the shipped drawing, tinted:
// a theme's multi-coloured icon would lose its shape when tinted.
namespace Symbols {

// The symbol names of the table, in table order.
QStringList names();

// The icon of a control: the desktop theme's when it has one, else the shipped drawing
// in the palette's text colour (disabled and selected states follow the palette).
// A null icon for a name outside the table.
QIcon icon(const QString& symbol);

// The shipped drawing in `color`, whatever the theme.
QIcon tinted(const QString& symbol, const QColor& color);

// The shipped drawing in `color`, `size` device-independent pixels square, for painting
// in a delegate. Cached.
QPixmap pixmap(const QString& symbol, const QColor& color, int size, qreal devicePixelRatio);

} // namespace Symbols
