#pragma once

#include "views/FeedCells.h"

#include <QHash>
#include <QPersistentModelIndex>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QUrl>

#include <optional>

class RowHighlights;

// Paints every cell of the feed tables (notifications, favourites, assignments) from the
// roles of FeedCells, and turns clicks on what it painted into signals: the row's
// action buttons and the title link. Rectangles are computed in one place for painting
// and for hit-testing. A group's header is drawn across its row: the disclosure triangle,
// the repository in bold and its count. The row background comes from RowHighlights. What a cell shows is
// read from the model once and kept, with its text laid out for the column's width, until
// the table says the rows changed (forgetRows, forgetCells) or the width changes.
class FeedItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int padding = 8;
    static constexpr int actionWidth = 40;
    static constexpr int actionIconSize = 20;

    FeedItemDelegate(RowHighlights& highlights, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;

    // Where a link cell's text sits.
    static QRect linkRect(const QStyleOptionViewItem& option, const QModelIndex& index);

    // Reads the cells of rows `first` to `last` again at the next paint.
    void forgetRows(int first, int last);
    // Reads every cell again at the next paint.
    void forgetCells();

Q_SIGNALS:
    void actionTriggered(const QModelIndex& index, const QString& actionId);
    void linkActivated(const QUrl& url);

private:
    // What a cell paints, as the model gave it.
    struct Cell
    {
        FeedCells::Kind kind = FeedCells::Kind::Text;
        // The cell is part of a group's header.
        std::optional<FeedCells::GroupHeader> group;
        Qt::Alignment alignment;
        QList<FeedCells::Action> actions;
        QList<Glyph> glyphs;
        FeedCells::Badge badge;
        QString emoji;
        // The text after the emoji.
        QString text;
        bool isLink = false;
        // `text` laid out, and cut short to fit `shownWidth` pixels.
        QStaticText shown;
        int shownWidth = -1;
    };

    static QList<QRect> actionRects(const QRect& cell, int count, Qt::Alignment alignment);
    Cell& cellOf(const QModelIndex& index) const;
    // What the point lies on: an action's index, or -2 for the link, or -1.
    int hitTest(const QStyleOptionViewItem& option, const QModelIndex& index, const QPoint& point) const;
    void paintActions(QPainter* painter, const QStyleOptionViewItem& option, const Cell& cell) const;
    void paintGlyphs(QPainter* painter, const QStyleOptionViewItem& option, const QList<Glyph>& glyphs) const;
    void paintBadge(QPainter* painter, const QStyleOptionViewItem& option, const FeedCells::Badge& badge) const;
    void paintText(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index, Cell& cell) const;
    // The part in the cell of a header drawn across its whole row.
    void paintGroupHeader(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
        const FeedCells::GroupHeader& group) const;

    RowHighlights& m_highlights;
    // The link under the mouse, drawn underlined.
    QPersistentModelIndex m_hoveredLink;
    QPersistentModelIndex m_pressed;
    int m_pressedTarget = -1;
    // By row, then column.
    mutable QHash<int, QHash<int, Cell>> m_cells;
};
