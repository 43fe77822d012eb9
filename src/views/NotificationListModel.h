#pragma once

#include "feeds/QueryField.h"
#include "github/GitHubEndpoints.h"
#include "github/Notification.h"
#include "views/RecordTableModel.h"

class Clock;
class NotificationsViewModel;

// The rows of the Notifications tab (the controller's filtered threads) or of the
// Favorites tab (its starred threads, in list order), with the columns Actions, Title,
// Reason, Repository, Updated At and Status. It follows the controller without ever
// resetting: a status answer repaints its one row, and a new list (a sync, a filter, a
// thread read or starred) keeps each listed thread's persistent indexes.
class NotificationListModel : public RecordTableModel
{
    Q_OBJECT

public:
    enum class Source {
        Filtered,
        Favorites,
    };

    enum Column {
        ActionsColumn,
        TitleColumn,
        ReasonColumn,
        RepositoryColumn,
        UpdatedAtColumn,
        StatusColumn,
        ColumnCount,
    };

    NotificationListModel(NotificationsViewModel& viewModel, Source source, const GitHubEndpoints& endpoints,
        const Clock& clock, QObject* parent = nullptr);

    NotificationPtr notificationAt(int row) const { return m_rows.value(row); }
    QList<NotificationPtr> notificationsAt(const QList<int>& rows) const;

protected:
    QVariant cellData(int row, int column, int role) const override;

private:
    QList<NotificationPtr> currentRows() const;
    // These rows follow a filter query with clauses on any of `fields`.
    bool filtersOn(QueryFields fields) const;
    void refresh();
    void addRowActions();

    NotificationsViewModel& m_viewModel;
    Source m_source;
    GitHubEndpoints m_endpoints;
    QList<NotificationPtr> m_rows;
};
