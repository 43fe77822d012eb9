#pragma once

#include "views/ColorPalette.h"
#include "views/FeedCells.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// One thing the user can do to a row of a feed table. Its button painted in the row, the
// button's tool tip and accessible name, its item in the row's context menu and its
// keyboard shortcut on the current row all come from here.
struct RowAction
{
    // How the action shows in a row.
    struct Face
    {
        // The button's symbol; empty: the action has no button, only a menu item.
        QString symbol {};
        // None: the palette's text colour.
        std::optional<ColorPalette::Name> color {};
        // The button's tool tip and accessible name ("Add to Favorites").
        QString label {};
        // The menu item ("Star").
        QString menuText {};
    };

    QString id {};
    QKeySequence shortcut {};
    Face face {};
    // A switch shows `onFace` for the rows where `isOn` holds.
    Face onFace {};
    std::function<bool(int row)> isOn {};
    // Whether the row offers it (its button, its menu item enabled, its shortcut);
    // none: always.
    std::function<bool(int row)> isAvailable {};
    std::function<void(int row)> run {};
    // Runs it on several selected rows at once, those that offer it; none: it runs on
    // the current row only, whatever else is selected.
    std::function<void(const QList<int>& rows)> runOnRows {};
    // The menu draws a line after it.
    bool endsGroup = false;

    const Face& faceAt(int row) const { return isOn && isOn(row) ? onFace : face; }
    bool availableAt(int row) const { return !isAvailable || isAvailable(row); }
    // A switch is on for a selection when it is on for every row of it.
    const Face& faceFor(const QList<int>& rows) const;
    // The rows of `rows` that offer it.
    QList<int> availableOf(const QList<int>& rows) const;
    bool hasButton() const { return !face.symbol.isEmpty(); }
};

// The actions of one feed table's rows, in menu order; those with a button are painted
// in the same order in the row's actions cell.
class RowActions
{
    Q_DECLARE_TR_FUNCTIONS(RowActions)

public:
    void add(RowAction action) { m_actions.append(std::move(action)); }
    const QList<RowAction>& all() const { return m_actions; }
    const RowAction* find(const QString& id) const;

    // The buttons of `row`, as the delegate paints them: those of the actions available
    // for it.
    QList<FeedCells::Action> buttonsAt(int row) const;

    // "Open in Browser" and "Copy Link", for the link `linkOf` gives each row.
    void addLinkActions(const std::function<QUrl(int row)>& linkOf);

    // The star that adds a record to the favourites or takes it out. On a selection it
    // stars every row unless all are starred, and then takes the star off all of them.
    static RowAction star(std::function<bool(int row)> isFavorite, std::function<void(int row)> toggle,
        std::function<void(const QList<int>& rows, bool favorite)> setFavorite);

private:
    QList<RowAction> m_actions;
};
