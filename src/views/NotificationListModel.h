#pragma once

#include "feeds/QueryField.h"
#include "github/Notification.h"
#include "views/AccountTableModel.h"

class Clock;
class NotificationsViewModel;

// The rows of the Notifications tab (the controllers' filtered threads) or of the
// Favorites tab (their starred threads, in list order), with the columns Actions, Title,
// Reason, Repository, Updated At, Status and Account. It follows the controllers without
// ever resetting: a status answer repaints its one row, and a new list (a sync, a filter,
// a thread read or starred) keeps each listed thread's persistent indexes. Each row's
// actions go to its own account's controller.
class NotificationListModel : public AccountTableModel
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
        AccountColumn,
        ColumnCount,
    };

    NotificationListModel(AccountSessions& sessions, Source source, const Clock& clock, QObject* parent = nullptr);

    NotificationPtr notificationAt(int row) const { return m_rows.value(row); }
    QList<NotificationPtr> notificationsAt(const QList<int>& rows) const;

protected:
    QVariant cellData(int row, int column, int role) const override;

    void follow(AccountSession& session) override;
    void refresh() override;

private:
    // These rows follow a filter query with clauses on any of `fields`.
    bool filtersOn(QueryFields fields) const;
    void addRowActions();
    NotificationsViewModel& viewModelAt(int row) const;

    Source m_source;
    QList<NotificationPtr> m_rows;
};
