#pragma once

#include "core/TimerHandle.h"

#include <QPersistentModelIndex>
#include <QTableView>

class FeedItemDelegate;
class RowHighlights;
class Scheduler;

// The table of a feed tab: one row per record, painted by FeedItemDelegate, whole rows
// selected (Shift and Ctrl extend the selection, Ctrl+A takes every row). It keeps the user's place when the list
// changes (the row at the top stays at the top when rows come and go around it; when the current row goes, the next
// remaining row becomes current), tints the row under the mouse, repaints once a minute so that relative times stay
// true, and opens the current row on Return or Enter.
class FeedTableView : public QTableView
{
    Q_OBJECT

public:
    FeedTableView(Scheduler& scheduler, QWidget* parent = nullptr);
    ~FeedTableView() override;

    FeedItemDelegate* feedDelegate() const { return m_delegate; }
    RowHighlights& highlights() const { return *m_highlights; }
    // The selected rows, in order.
    QList<int> selectedRowNumbers() const;

    void setModel(QAbstractItemModel* model) override;
    // Widths of the columns, in order: a column of positive width starts with it and the
    // user may drag it wider or narrower, unless it is one of `fixedColumns`; 0 shares the
    // remaining width with the other zeros.
    void setColumnWidths(const QList<int>& widths, const QList<int>& fixedColumns = {});
    // The widths of the columns the user may drag, with 0 for the others.
    QList<int> resizableColumnWidths() const;
    // Applies widths of resizableColumnWidths() to the columns the user may drag; a
    // width outside the header's limits is brought within them.
    void setResizableColumnWidths(const QList<int>& widths);

Q_SIGNALS:
    // The user dragged a column to a new width.
    void columnResized();

    // Return or Enter on the current row, or a double click.
    void openRequested(const QModelIndex& index);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setHoveredRow(int row);
    void rememberTopRow();
    void restoreTopRow();
    void rememberCurrentRow();
    void restoreCurrentRow();

    RowHighlights* m_highlights;
    FeedItemDelegate* m_delegate;
    TimerHandle m_minuteRepaint;
    QPersistentModelIndex m_topRow;
    int m_topOffset = 0;
    bool m_atTop = true;
    // The current row, and the rows after it up to the first one not selected: when an
    // action on the selection takes the current row away, the first of these that
    // remains takes its place.
    QPersistentModelIndex m_currentRow;
    QList<QPersistentModelIndex> m_rowsAfterCurrent;
    bool m_hadCurrentRow = false;
    bool m_settingWidths = false;
};
