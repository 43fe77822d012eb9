#include "views/RecordTableModel.h"

#include "core/Clock.h"
#include "core/DateTexts.h"

RecordTableModel::RecordTableModel(QList<Column> columns, const Clock& clock, QObject* parent)
    : QAbstractTableModel(parent)
    , m_columns(std::move(columns))
    , m_clock(clock)
{
    for (int column = 0; column < m_columns.size(); ++column) {
        if (m_columns[column].kind == FeedCells::Kind::Link) {
            m_rowActions.addLinkActions(
                [this, column](int row) { return index(row, column).data(FeedCells::LinkRole).toUrl(); });
            break;
        }
    }
}

int RecordTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_ids.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns[section].header;
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row();
    const Column& column = m_columns[index.column()];
    switch (role) {
    case FeedCells::RecordIdRole:
        return m_ids[row];
    case FeedCells::KindRole:
        return QVariant::fromValue(column.kind);
    case Qt::TextAlignmentRole:
        return int(column.alignment | Qt::AlignVCenter);
    default:
        break;
    }
    if (column.kind == FeedCells::Kind::Actions) {
        switch (role) {
        case FeedCells::ActionsRole:
            return QVariant::fromValue(m_rowActions.buttonsAt(row));
        case Qt::DisplayRole:
            return QString();
        case Qt::AccessibleTextRole: {
            QStringList labels;
            for (const FeedCells::Action& button : m_rowActions.buttonsAt(row))
                labels << button.label;
            return labels.join(QStringLiteral(", "));
        }
        default:
            break;
        }
    }
    if (column.kind == FeedCells::Kind::Time && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)) {
        return relativeDateTimeText(cellData(row, index.column(), FeedCells::TimestampRole).toString(), m_clock.now());
    }
    if (column.kind == FeedCells::Kind::Time && role == Qt::ToolTipRole) {
        const QString timestamp = cellData(row, index.column(), FeedCells::TimestampRole).toString();
        const QDateTime moment = QDateTime::fromString(timestamp, Qt::ISODateWithMs);
        return moment.isValid() ? mediumDateTimeText(moment) : timestamp;
    }
    // A link's text may be cut short in its column; a model may say more.
    if (column.kind == FeedCells::Kind::Link && role == Qt::ToolTipRole) {
        const QVariant tip = cellData(row, index.column(), Qt::ToolTipRole);
        return tip.isValid() ? tip : cellData(row, index.column(), Qt::DisplayRole);
    }
    return cellData(row, index.column(), role);
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
