#pragma once

#include <QFont>
#include <QPixmap>
#include <QString>

// Colour emoji drawn once and kept as pixmaps: a colour emoji font scales a bitmap glyph
// each time it is drawn, which costs a table far more than all its other cells.
namespace EmojiPixmaps {

// `emoji` in the colour emoji font, as tall as a line of text in `font` (a colour emoji
// font draws its pictures well inside its lines, much smaller than the text beside
// them), for a device with `ratio`.
QPixmap pixmap(const QString& emoji, const QFont& font, qreal ratio);

} // namespace EmojiPixmaps
