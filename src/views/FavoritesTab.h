#pragma once

#include <QWidget>

class AccountSessions;
class FeedTableView;
class NotificationListModel;
class QStackedWidget;

// The Favorites tab: the starred threads in the order they were starred, each with one
// button that unstars it; or, with none starred, a note on how to star one.
class FavoritesTab : public QWidget
{
    Q_OBJECT

public:
    explicit FavoritesTab(AccountSessions& sessions, QWidget* parent = nullptr);

    FeedTableView* table() const { return m_table; }
    NotificationListModel* model() const { return m_model; }
    // The empty state is showing.
    bool showsEmptyState() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildEmptyState();
    // The empty state's star in the palette's gray.
    void tintEmptyStar();
    void updatePage();

    NotificationListModel* m_model;
    FeedTableView* m_table;
    QStackedWidget* m_pages;
    QWidget* m_emptyState;
};
