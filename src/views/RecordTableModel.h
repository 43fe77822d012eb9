#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

#include <functional>

// The part the feed tables' models share: rows of records known by id, replaced without
// a reset. A new list is applied as one layout change in which every persistent index
// moves with its record to the record's new row (or goes, with the record), so a view
// keeps its current row, selection and place; a record changed in place repaints its row.
class RecordTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    // The row of the record with `id`, or -1.
    int rowOf(const QString& id) const { return m_rowOf.value(id, -1); }
    const QString& idAt(int row) const { return m_ids.at(row); }

protected:
    // Makes `ids` the rows; `swap` replaces the subclass's records in the same moment.
    void replaceRows(QStringList ids, const std::function<void()>& swap);
    // Repaints the record's row, if it is listed.
    void recordChanged(const QString& id);
    // Repaints one column of every row, for the given roles.
    void columnChanged(int column, const QList<int>& roles);

private:
    QStringList m_ids;
    QHash<QString, int> m_rowOf;
};
