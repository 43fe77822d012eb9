#pragma once

#include <QWidget>

class AccountPicker;
class AccountSession;
class AccountSessions;
class CountRow;
class FeedStatusArea;
class FeedTableView;
class FilterRow;
class LoadingCard;
class NotificationListModel;
class NotificationsViewModel;
class QCheckBox;
class QComboBox;

// The Notifications tab: the repository picker (and with several accounts the account
// picker), "Re-sync", "Mark Completed Read" and the auto-sync switch; the filter field;
// the count of rows; the table of threads with their actions (mark read, mark done, star,
// stop watching), title link, reason, repository, age, status and account; a loading
// card while a sync runs; and the status lines. The repository, the filter and the
// switch apply to every account's feed alike; the first account's feed holds them.
class NotificationsTab : public QWidget
{
    Q_OBJECT

public:
    explicit NotificationsTab(AccountSessions& sessions, QWidget* parent = nullptr);

    FeedTableView* table() const { return m_table; }
    NotificationListModel* model() const { return m_model; }

private:
    QWidget* buildToolbar();
    QWidget* buildFilterRow();
    QWidget* buildCountRow();
    void updateRepositories();
    void updateFilter();
    void updateCount();
    void setTextFilter(const QString& text);
    void setSelectedRepository(const QString& repository);
    // A new account's feed takes the tab's repository and filter.
    void adoptSettings(AccountSession* session);

    AccountSessions& m_sessions;
    NotificationsViewModel& m_viewModel;
    NotificationListModel* m_model;
    FeedTableView* m_table;
    QComboBox* m_repositoryPicker = nullptr;
    AccountPicker* m_accountPicker = nullptr;
    QCheckBox* m_autoReload = nullptr;
    FilterRow* m_filterRow = nullptr;
    CountRow* m_countRow = nullptr;
    LoadingCard* m_loadingCard;
    FeedStatusArea* m_statusArea = nullptr;
};
