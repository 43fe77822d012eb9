#pragma once

#include "views/ColorPalette.h"

#include <QList>
#include <QString>

#include <optional>

class Notification;

// A symbol in one of the named colours, `size` device-independent pixels square.
struct Glyph
{
    QString symbol;
    ColorPalette::Name color = ColorPalette::Name::Gray;
    int size = 20;

    friend bool operator==(const Glyph&, const Glyph&) = default;
};

// How the tables show a thread's reason and the state, CI and review words of a subject:
// the reason's emoji, and a coloured symbol for each word. Lookups of the words compare
// them lower-cased; the reason is matched exactly.
namespace StatusAppearance {

// The emoji of a reason; "❓" for any other reason and for none.
QString reasonSymbol(const std::optional<QString>& reason);
// The reason as its cell shows it: the emoji, a space and the reason ("Unknown" for none).
QString reasonText(const std::optional<QString>& reason);

// The state's symbol and colour; pull requests (the assignments' pull-request rows) have
// a column of their own.
Glyph stateGlyph(const QString& state, bool pullRequest);
// None for "none", any other word, and none at all.
std::optional<Glyph> ciGlyph(const std::optional<QString>& ci);
std::optional<Glyph> reviewGlyph(const std::optional<QString>& review);

// A notification's status cell: the state, then for pull requests the CI and review
// symbols when they have one. Empty when the subject has no state yet.
QList<Glyph> notificationGlyphs(const Notification& notification);
// The same in words, for assistive technology: "open, CI passing, approved".
QString notificationStatusWords(const Notification& notification);

} // namespace StatusAppearance
