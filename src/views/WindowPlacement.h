#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

// Where a remembered window goes, as pure rules: its geometry as the preference file
// keeps it, and the move back onto the primary screen of a window that would lie off
// every screen now connected (a monitor unplugged since).
namespace WindowPlacement {

// "x,y,width,height".
QString encode(const QRect& geometry);
// None for any text that is not four integers with a positive width and height.
std::optional<QRect> decode(const QString& text);

// `geometry` itself when the top of the window, where its title bar is, shows on one of
// `screens` (their available areas) by at least 64 × 16 pixels; else the window as large
// as it was, as far as `primary` allows, centred on `primary`.
QRect onScreen(const QRect& geometry, const QList<QRect>& screens, const QRect& primary);

} // namespace WindowPlacement
