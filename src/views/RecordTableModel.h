#pragma once

#include "views/FeedCells.h"
#include "views/RowActions.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

#include <functional>

class Clock;

// The part the feed tables' models share: rows of records known by id, replaced without
// a reset, and columns whose kind says how a cell is shown. A new list is applied as one
// layout change in which every persistent index moves with its record to the record's
// new row (or goes, with the record), so a view keeps its current row, selection and
// place; a record changed in place repaints its row. The model keeps the table's row
// actions: actions cells hold their buttons and read as their labels. Time cells read as
// the relative time, worked out when asked.
class RecordTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        QString header;
        FeedCells::Kind kind = FeedCells::Kind::Text;
        Qt::Alignment alignment = Qt::AlignLeft;
    };

    RecordTableModel(QList<Column> columns, const Clock& clock, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const final;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The row of the record with `id`, or -1.
    int rowOf(const QString& id) const { return m_rowOf.value(id, -1); }

    // What can be done to a row: "Open in Browser" and "Copy Link" for the link column's
    // link, then what the subclass adds.
    const RowActions& rowActions() const { return m_rowActions; }

protected:
    // What the record of `row` shows in `column` for `role`; for a time cell its
    // FeedCells::TimestampRole.
    virtual QVariant cellData(int row, int column, int role) const = 0;

    void addRowAction(RowAction action) { m_rowActions.add(std::move(action)); }

    // Makes `ids` the rows; `swap` replaces the subclass's records in the same moment.
    void replaceRows(QStringList ids, const std::function<void()>& swap);
    // Repaints the record's row, if it is listed.
    void recordChanged(const QString& id);
    // Repaints one column of every row, for the given roles.
    void columnChanged(int column, const QList<int>& roles);

private:
    QList<Column> m_columns;
    const Clock& m_clock;
    QStringList m_ids;
    QHash<QString, int> m_rowOf;
    RowActions m_rowActions;
};
