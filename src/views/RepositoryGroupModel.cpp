#include "views/RepositoryGroupModel.h"

#include "views/FeedCells.h"

RepositoryGroupModel::RepositoryGroupModel(int repositoryColumn, QObject* parent)
    : QAbstractProxyModel(parent)
    , m_repositoryColumn(repositoryColumn)
{ }

void RepositoryGroupModel::setSourceModel(QAbstractItemModel* source)
{
    beginResetModel();
    for (const QMetaObject::Connection& connection : std::as_const(m_sourceConnections))
        disconnect(connection);
    m_sourceConnections.clear();
    QAbstractProxyModel::setSourceModel(source);
    if (source) {
        using Model = QAbstractItemModel;
        const auto change = [this](auto signal) {
            m_sourceConnections << connect(sourceModel(), signal, this, &RepositoryGroupModel::beginChange);
        };
        const auto changed = [this](auto signal) {
            m_sourceConnections << connect(sourceModel(), signal, this, &RepositoryGroupModel::endChange);
        };
        // The records' lists change as a whole: any change of their rows is a change of
        // the layout here, the groups being worked out afresh.
        change(&Model::layoutAboutToBeChanged);
        changed(&Model::layoutChanged);
        change(&Model::rowsAboutToBeInserted);
        changed(&Model::rowsInserted);
        change(&Model::rowsAboutToBeRemoved);
        changed(&Model::rowsRemoved);
        change(&Model::rowsAboutToBeMoved);
        changed(&Model::rowsMoved);
        m_sourceConnections << connect(source, &Model::modelAboutToBeReset, this, [this] { beginResetModel(); });
        m_sourceConnections << connect(source, &Model::modelReset, this, [this] {
            rebuild();
            endResetModel();
        });
        m_sourceConnections << connect(source, &Model::dataChanged, this, &RepositoryGroupModel::forwardDataChanged);
        m_sourceConnections << connect(source, &Model::headerDataChanged, this, &Model::headerDataChanged);
    }
    rebuild();
    endResetModel();
}

void RepositoryGroupModel::setGrouped(bool grouped)
{
    if (grouped == m_grouped)
        return;
    beginChange();
    m_grouped = grouped;
    endChange();
}

int RepositoryGroupModel::headerOf(int row) const
{
    if (!m_grouped || row < 0 || row >= m_rows.size())
        return -1;
    const int shown = m_rows[row];
    if (shown < 0)
        return row;
    return m_groups[m_groupOfRecord[shown]].headerRow;
}

bool RepositoryGroupModel::isExpanded(int headerRow) const
{
    return isHeader(headerRow) && !m_collapsed.contains(m_groups[-1 - m_rows[headerRow]].repository);
}

void RepositoryGroupModel::setExpanded(int headerRow, bool expanded)
{
    if (!isHeader(headerRow) || isExpanded(headerRow) == expanded)
        return;
    const QString repository = m_groups[-1 - m_rows[headerRow]].repository;
    beginChange();
    if (expanded)
        m_collapsed.remove(repository);
    else
        m_collapsed.insert(repository);
    endChange();
}

void RepositoryGroupModel::beginChange()
{
    if (std::exchange(m_changing, true))
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // After the signal: the view keeps its place in persistent indexes as it hears it.
    m_changingIndexes = persistentIndexList();
    m_places.clear();
    m_places.reserve(m_changingIndexes.size());
    for (const QModelIndex& index : std::as_const(m_changingIndexes)) {
        Place place;
        place.column = index.column();
        if (isHeader(index.row())) {
            const Group& group = m_groups[-1 - m_rows[index.row()]];
            place.header = true;
            place.repository = group.repository;
            place.record = sourceModel()->index(group.firstRecord, index.column());
        } else {
            place.record = mapToSource(index);
        }
        m_places << place;
    }
}

void RepositoryGroupModel::endChange()
{
    if (!std::exchange(m_changing, false))
        return;
    rebuild();
    // Two persistent indexes must never land on one place: a header goes to its group's
    // first record only when no index holds that record already.
    QModelIndexList after(m_places.size());
    QSet<quint64> taken;
    const auto placeOf
        = [](const QModelIndex& index) { return (quint64(index.row()) << 32) | quint32(index.column()); };
    for (qsizetype i = 0; i < m_places.size(); ++i) {
        if (m_places[i].header)
            continue;
        after[i] = mapFromSource(m_places[i].record);
        if (after[i].isValid())
            taken.insert(placeOf(after[i]));
    }
    for (qsizetype i = 0; i < m_places.size(); ++i) {
        const Place& place = m_places[i];
        if (!place.header)
            continue;
        if (m_grouped) {
            const auto group = m_groupOf.constFind(place.repository);
            if (group != m_groupOf.constEnd())
                after[i] = createIndex(m_groups[*group].headerRow, place.column);
            continue;
        }
        const QModelIndex first = mapFromSource(place.record);
        if (first.isValid() && !taken.contains(placeOf(first))) {
            after[i] = first;
            taken.insert(placeOf(first));
        }
    }
    changePersistentIndexList(m_changingIndexes, after);
    m_changingIndexes.clear();
    m_places.clear();
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RepositoryGroupModel::rebuild()
{
    m_groups.clear();
    m_groupOf.clear();
    m_rows.clear();
    m_rowOfSource.clear();
    m_groupOfRecord.clear();
    const QAbstractItemModel* source = sourceModel();
    if (!m_grouped || !source)
        return;
    const int records = source->rowCount();
    // Each record's group, the groups in the order of their first record.
    m_groupOfRecord.resize(records);
    for (int row = 0; row < records; ++row) {
        const QString repository = source->index(row, m_repositoryColumn).data().toString();
        auto group = m_groupOf.constFind(repository);
        if (group == m_groupOf.constEnd()) {
            group = m_groupOf.insert(repository, static_cast<int>(m_groups.size()));
            m_groups.append({repository, 0, 0, row});
        }
        m_groupOfRecord[row] = *group;
        ++m_groups[*group].count;
    }
    // Each group's header, then its records unless collapsed, counted out in one pass.
    QList<int> next(m_groups.size());
    int rows = 0;
    for (qsizetype group = 0; group < m_groups.size(); ++group) {
        Group& each = m_groups[group];
        each.headerRow = rows;
        next[group] = rows + 1;
        rows += 1 + (m_collapsed.contains(each.repository) ? 0 : each.count);
    }
    m_rows.resize(rows);
    m_rowOfSource.fill(-1, records);
    for (qsizetype group = 0; group < m_groups.size(); ++group)
        m_rows[m_groups[group].headerRow] = -1 - static_cast<int>(group);
    for (int row = 0; row < records; ++row) {
        const int group = m_groupOfRecord[row];
        if (m_collapsed.contains(m_groups[group].repository))
            continue;
        m_rowOfSource[row] = next[group];
        m_rows[next[group]++] = row;
    }
}

void RepositoryGroupModel::forwardDataChanged(
    const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    if (!m_grouped) {
        Q_EMIT dataChanged(mapFromSource(topLeft), mapFromSource(bottomRight), roles);
        return;
    }
    // One signal for the rows between the first and the last shown: a column's change
    // repaints the table once, not row by row.
    int first = -1;
    int last = -1;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        const int shown = m_rowOfSource.value(row, -1);
        if (shown < 0)
            continue;
        first = first < 0 ? shown : qMin(first, shown);
        last = qMax(last, shown);
    }
    if (first >= 0)
        Q_EMIT dataChanged(index(first, topLeft.column()), index(last, bottomRight.column()), roles);
}

QModelIndex RepositoryGroupModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex RepositoryGroupModel::parent(const QModelIndex&) const
{
    return {};
}

QModelIndex RepositoryGroupModel::sibling(int row, int column, const QModelIndex&) const
{
    return index(row, column);
}

int RepositoryGroupModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !sourceModel())
        return 0;
    return m_grouped ? static_cast<int>(m_rows.size()) : sourceModel()->rowCount();
}

int RepositoryGroupModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

bool RepositoryGroupModel::hasChildren(const QModelIndex& parent) const
{
    return !parent.isValid() && rowCount() > 0;
}

QModelIndex RepositoryGroupModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid() || !sourceModel())
        return {};
    const int row = m_grouped ? m_rows.value(proxyIndex.row(), -1) : proxyIndex.row();
    return row < 0 ? QModelIndex() : sourceModel()->index(row, proxyIndex.column());
}

QModelIndex RepositoryGroupModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid())
        return {};
    const int row = m_grouped ? m_rowOfSource.value(sourceIndex.row(), -1) : sourceIndex.row();
    return row < 0 ? QModelIndex() : createIndex(row, sourceIndex.column());
}

QVariant RepositoryGroupModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (isHeader(index.row()))
        return headerCell(m_groups[-1 - m_rows[index.row()]], index.column(), role);
    return mapToSource(index).data(role);
}

QVariant RepositoryGroupModel::headerCell(const Group& group, int column, int role) const
{
    const bool expanded = !m_collapsed.contains(group.repository);
    switch (role) {
    case FeedCells::GroupHeaderRole:
        return QVariant::fromValue(FeedCells::GroupHeader {group.repository, group.count, expanded});
    case FeedCells::KindRole:
        return QVariant::fromValue(FeedCells::Kind::Text);
    case Qt::DisplayRole:
        return column == 0 ? QStringLiteral("%1 (%2)").arg(group.repository).arg(group.count) : QString();
    case Qt::AccessibleTextRole: {
        if (column != 0)
            return QString();
        const QString rows = group.count == 1 ? tr("1 row") : tr("%n rows", nullptr, group.count);
        return QStringLiteral("%1, %2, %3").arg(group.repository, rows, expanded ? tr("expanded") : tr("collapsed"));
    }
    default:
        return {};
    }
}

Qt::ItemFlags RepositoryGroupModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isHeader(index.row()))
        return Qt::ItemIsEnabled;
    return mapToSource(index).flags();
}

QVariant RepositoryGroupModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The records' columns are the table's; its rows have no header.
    if (orientation == Qt::Horizontal && sourceModel())
        return sourceModel()->headerData(section, orientation, role);
    return QAbstractProxyModel::headerData(section, orientation, role);
}
