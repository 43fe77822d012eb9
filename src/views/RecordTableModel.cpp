#include "views/RecordTableModel.h"

int RecordTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_ids.size());
}

void RecordTableModel::replaceRows(QStringList ids, const std::function<void()>& swap)
{
    QHash<QString, int> rowOf;
    rowOf.reserve(ids.size());
    for (int row = 0; row < ids.size(); ++row)
        rowOf.insert(ids[row], row);
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        const int row = rowOf.value(m_ids.at(index.row()), -1);
        after << (row >= 0 ? createIndex(row, index.column()) : QModelIndex());
    }
    m_ids = std::move(ids);
    m_rowOf = std::move(rowOf);
    swap();
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RecordTableModel::recordChanged(const QString& id)
{
    const int row = rowOf(id);
    if (row >= 0)
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RecordTableModel::columnChanged(int column, const QList<int>& roles)
{
    if (!m_ids.isEmpty())
        Q_EMIT dataChanged(index(0, column), index(static_cast<int>(m_ids.size()) - 1, column), roles);
}
