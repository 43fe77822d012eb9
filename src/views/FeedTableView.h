#pragma once

#include "core/TimerHandle.h"

#include <QPersistentModelIndex>
#include <QTableView>

class FeedItemDelegate;
class RecordTableModel;
class RepositoryGroupModel;
class RowHighlights;
class Scheduler;

// The table of a feed tab: one row per record, painted by FeedItemDelegate, whole rows
// selected (Shift and Ctrl extend the selection, Ctrl+A takes every row). It keeps the user's place when the list
// changes (the row at the top stays at the top when rows come and go around it; when the current row goes, the next
// remaining row becomes current), tints the row under the mouse, repaints once a minute so that relative times stay
// true, and opens the current row on Return or Enter.
//
// A table may group its records under their repositories (RepositoryGroupModel). A click
// on a group's header, or Return or Space on it, collapses or expands it; as in a tree,
// Left goes from a record to its header and collapses an expanded header, and Right
// expands a collapsed header or goes to the first record of an expanded one. Headers are
// never records: they are not selected, opened or acted on.
class FeedTableView : public QTableView
{
    Q_OBJECT

public:
    FeedTableView(Scheduler& scheduler, QWidget* parent = nullptr);
    ~FeedTableView() override;

    FeedItemDelegate* feedDelegate() const { return m_delegate; }
    RowHighlights& highlights() const { return *m_highlights; }

    // Shows the records of `records`, which can be grouped by the text of their
    // `repositoryColumn`; -1: they never are.
    void setRecords(RecordTableModel* records, int repositoryColumn = -1);
    // The rows shown: the records, grouped or not.
    RepositoryGroupModel* groups() const { return m_groups; }
    bool canGroupByRepository() const { return m_repositoryColumn >= 0; }
    bool isGroupedByRepository() const;
    void setGroupedByRepository(bool grouped);
    // The record's row in the records' model of what `index` shows; -1 for a group's header.
    int recordRow(const QModelIndex& index) const;
    // Where the record of `row` is shown in `column`; invalid while its group is collapsed.
    QModelIndex indexOfRecord(int row, int column) const;
    // The rows of the selected records, in order.
    QList<int> selectedRowNumbers() const;

    // Shows the account column of an AccountTableModel while there are several accounts,
    // hides it otherwise: after a header's saved state was restored, for one.
    void updateAccountColumn();

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

    // Return or Enter on the current record, or a double click on one.
    void openRequested(const QModelIndex& index);

    void groupedByRepositoryChanged(bool grouped);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The table's model is the one setRecords makes.
    void setModel(QAbstractItemModel* model) override;
    // Left, Right, Return, Enter and Space on a group's header, and Left on a record of a
    // group; false for any other key, which the table handles as usual.
    bool moveInGroups(const QKeyEvent* event);
    void goToRow(int row);
    void toggleGroup(int headerRow);
    void repaintRow(int row);
    void setHoveredRow(int row);
    void rememberTopRow();
    void restoreTopRow();
    void rememberCurrentRow();
    void restoreCurrentRow();

    RowHighlights* m_highlights;
    FeedItemDelegate* m_delegate;
    RepositoryGroupModel* m_groups = nullptr;
    int m_repositoryColumn = -1;
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
