#pragma once

#include <QAbstractListModel>

class SavedViews;

// The rows of a feed's saved views for the picker and the manage dialog: the name
// (editable: a rename), the query as tool tip and under QueryRole. It holds no copy:
// each row is read from the views when asked.
class SavedViewModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        QueryRole = Qt::UserRole,
    };

    explicit SavedViewModel(SavedViews& views, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    SavedViews& m_views;
};
