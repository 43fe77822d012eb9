#include "views/SavedViewModel.h"

#include "feeds/SavedViews.h"

SavedViewModel::SavedViewModel(SavedViews& views, QObject* parent)
    : QAbstractListModel(parent)
    , m_views(views)
{
    // The list is a handful of names: a row added, moved or removed resets it, a rename
    // repaints its row.
    connect(&m_views, &SavedViews::aboutToChange, this, &SavedViewModel::beginResetModel);
    connect(&m_views, &SavedViews::changed, this, &SavedViewModel::endResetModel);
    connect(&m_views, &SavedViews::viewChanged, this, [this](int row) {
        const QModelIndex changed = index(row);
        Q_EMIT dataChanged(changed, changed);
    });
}

int SavedViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_views.count();
}

QVariant SavedViewModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const SavedView& view = m_views.views().at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        return view.name;
    case Qt::ToolTipRole:
    case QueryRole:
        return view.query;
    default:
        return {};
    }
}

bool SavedViewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    return m_views.rename(index.row(), value.toString());
}

Qt::ItemFlags SavedViewModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}
