#pragma once

#include "views/FeedCells.h"

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>
#include <QUrl>

class RowHighlights;

// Paints every cell of the feed tables (notifications, favourites, assignments) from the
// roles of FeedCells, and turns clicks on what it painted into signals: the row's
// action buttons and the title link. Rectangles are computed in one place for painting
// and for hit-testing. The row background comes from RowHighlights.
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

    // Where an actions cell paints its `count` buttons.
    static QList<QRect> actionRects(const QRect& cell, int count, Qt::Alignment alignment);
    // Where a link cell's text sits.
    static QRect linkRect(const QStyleOptionViewItem& option, const QModelIndex& index);

Q_SIGNALS:
    void actionTriggered(const QModelIndex& index, const QString& actionId);
    void linkActivated(const QUrl& url);

private:
    // What the point lies on: an action's index, or -2 for the link, or -1.
    int hitTest(const QStyleOptionViewItem& option, const QModelIndex& index, const QPoint& point) const;
    void paintActions(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintGlyphs(QPainter* painter, const QStyleOptionViewItem& option, const QList<Glyph>& glyphs) const;
    void paintBadge(QPainter* painter, const QStyleOptionViewItem& option, const FeedCells::Badge& badge) const;
    void paintText(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    RowHighlights& m_highlights;
    // The link under the mouse, drawn underlined.
    QPersistentModelIndex m_hoveredLink;
    QPersistentModelIndex m_pressed;
    int m_pressedTarget = -1;
};
