#pragma once

#include "core/TimerHandle.h"

#include <QPersistentModelIndex>
#include <QTableView>

class FeedItemDelegate;
class RowHighlights;
class Scheduler;

// The table of a feed tab: one row per record, painted by FeedItemDelegate, a whole row
// selected at a time. It keeps the user's place when the list changes (the row at the
// top stays at the top when rows come and go around it), tints the row under the mouse,
// repaints once a minute so that relative times stay true, and opens the current row on
// Return or Enter.
class FeedTableView : public QTableView
{
    Q_OBJECT

public:
    FeedTableView(Scheduler& scheduler, QWidget* parent = nullptr);
    ~FeedTableView() override;

    FeedItemDelegate* feedDelegate() const { return m_delegate; }
    RowHighlights& highlights() const { return *m_highlights; }

    void setModel(QAbstractItemModel* model) override;
    // Fixed widths of the columns, in order; 0 shares the remaining width with the other
    // zeros.
    void setColumnWidths(const QList<int>& widths);

Q_SIGNALS:
    // Return or Enter on the current row, or a double click.
    void openRequested(const QModelIndex& index);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setHoveredRow(int row);
    void rememberTopRow();
    void restoreTopRow();

    RowHighlights* m_highlights;
    FeedItemDelegate* m_delegate;
    TimerHandle m_minuteRepaint;
    QPersistentModelIndex m_topRow;
    int m_topOffset = 0;
    bool m_atTop = true;
};
