#pragma once

#include "views/ColorPalette.h"
#include "views/StatusAppearance.h"

#include <QKeySequence>
#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

// What the feed tables' models (notifications, favourites, assignments) hand their one
// shared delegate for each cell, beyond the cell's text (Qt::DisplayRole) and its words
// for assistive technology (Qt::AccessibleTextRole).
namespace FeedCells {

enum Role {
    KindRole = Qt::UserRole + 1, // Kind
    ActionsRole, // QList<Action>, for an actions cell
    LinkRole, // QUrl, for a link cell; invalid: plain text
    EmojiRole, // QString drawn before the text in colour
    GlyphsRole, // QList<Glyph>, for a status cell; empty: the text
    BadgeRole, // Badge
    IsNewRole, // bool: the record arrived with the last sync
    RecordIdRole, // the record's id, as text
    TimestampRole, // QString, ISO 8601, for a time cell
    DimmedRole, // bool: the record is drawn faded (a thread read elsewhere)
    GroupHeaderRole, // GroupHeader, for a row that heads a group of records; invalid for a record's row
};

enum class Kind {
    Text,
    Actions,
    Link,
    Time, // painted as text: the relative time
    Status,
    Badge,
};

// A button painted in a row, as RowActions describes it for the row.
struct Action
{
    QString id;
    QString symbol;
    // None: the palette's text colour.
    std::optional<ColorPalette::Name> color;
    // What it does, for tool tips and assistive technology ("Mark as Read").
    QString label;
    QKeySequence shortcut;

    friend bool operator==(const Action&, const Action&) = default;
};

// A short word on a rounded patch of its colour ("PR", "Issue").
struct Badge
{
    QString text;
    ColorPalette::Name color = ColorPalette::Name::Gray;

    friend bool operator==(const Badge&, const Badge&) = default;
};

// The row above the records of one repository while a table groups them.
struct GroupHeader
{
    QString repository;
    // The records of the group, shown or not.
    int count = 0;
    bool expanded = true;

    friend bool operator==(const GroupHeader&, const GroupHeader&) = default;
};

} // namespace FeedCells

Q_DECLARE_METATYPE(FeedCells::Kind)
Q_DECLARE_METATYPE(FeedCells::Action)
Q_DECLARE_METATYPE(FeedCells::Badge)
Q_DECLARE_METATYPE(FeedCells::GroupHeader)
Q_DECLARE_METATYPE(Glyph)
