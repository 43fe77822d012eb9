#pragma once

#include "storage/Environment.h"

#include <QWidget>

class CountRow;
class FeedTableView;
class FilterRow;
class LoadingCard;
class NotificationListModel;
class NotificationsViewModel;
class QCheckBox;
class QComboBox;
class StatusLine;

// The Notifications tab: the repository picker, "Re-sync", "Mark Completed Read" and
// the auto-sync switch; the filter field; the count of rows; the table of threads with
// their actions (mark read, mark done, star, stop watching), title link, reason, repository, age
// and status; a loading card while a sync runs; and the status line.
class NotificationsTab : public QWidget
{
    Q_OBJECT

public:
    NotificationsTab(NotificationsViewModel& viewModel, const Environment& environment, QWidget* parent = nullptr);

    FeedTableView* table() const { return m_table; }
    NotificationListModel* model() const { return m_model; }

private:
    QWidget* buildToolbar();
    QWidget* buildFilterRow();
    QWidget* buildCountRow();
    void updateRepositories();
    void updateFilter();
    void updateCount();

    NotificationsViewModel& m_viewModel;
    NotificationListModel* m_model;
    FeedTableView* m_table;
    QComboBox* m_repositoryPicker = nullptr;
    QCheckBox* m_autoReload = nullptr;
    FilterRow* m_filterRow = nullptr;
    CountRow* m_countRow = nullptr;
    LoadingCard* m_loadingCard;
    StatusLine* m_statusLine;
};
