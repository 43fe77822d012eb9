#pragma once

#include <QAbstractProxyModel>
#include <QHash>
#include <QList>
#include <QPersistentModelIndex>
#include <QSet>

// The rows a feed table shows of its records: the records in their order or, while
// grouped, under one header row per repository (the text of the records' repository
// column), the groups in the order of their first record and each group's records in
// their order. A collapsed group shows its header only; which groups are collapsed is
// kept for as long as the model lives. Every change of the records, grouping and
// collapsing is one layout change in which persistent indexes follow their record (or
// their group's header), so a view keeps its current row, selection and place. Headers
// are enabled but never selectable, and answer FeedCells::GroupHeaderRole.
class RepositoryGroupModel : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit RepositoryGroupModel(int repositoryColumn, QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* source) override;

    bool isGrouped() const { return m_grouped; }
    void setGrouped(bool grouped);
    bool isHeader(int row) const { return m_grouped && row >= 0 && row < m_rows.size() && m_rows[row] < 0; }
    // The header row of the group `row` is in, itself for a header; -1 while not grouped.
    int headerOf(int row) const;
    bool isExpanded(int headerRow) const;
    void setExpanded(int headerRow, bool expanded);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Group
    {
        QString repository;
        int count = 0;
        int headerRow = 0;
        int firstRecord = 0;
    };

    // What a persistent index stood for while the rows change: a record, or the
    // header of a repository's group, which goes to the group's first record when
    // grouping ends.
    struct Place
    {
        QPersistentModelIndex record;
        bool header = false;
        QString repository;
        int column = 0;
    };

    void beginChange();
    void endChange();
    void rebuild();
    void forwardDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles);
    QVariant headerCell(const Group& group, int column, int role) const;

    int m_repositoryColumn;
    bool m_grouped = false;
    bool m_changing = false;
    QSet<QString> m_collapsed;
    QList<Group> m_groups;
    QHash<QString, int> m_groupOf;
    // While grouped, what each row shows: a source row, or for a header -1 minus its group.
    QList<int> m_rows;
    // While grouped, the row of each source row; -1 while its group is collapsed.
    QList<int> m_rowOfSource;
    // While grouped, the group of each source row.
    QList<int> m_groupOfRecord;
    QModelIndexList m_changingIndexes;
    QList<Place> m_places;
    QList<QMetaObject::Connection> m_sourceConnections;
};
