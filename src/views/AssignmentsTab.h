#pragma once

#include <QWidget>

class AccountPicker;
class AccountSession;
class AccountSessions;
class AssignmentListModel;
class AssignmentsViewModel;
class BottomArea;
class CountRow;
class FeedStatusArea;
class FeedTableView;
class FilterRow;
class LoadingCard;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class Scheduler;
class Toast;

// The Assignments tab: the field and button that add an item by its web address,
// "Re-sync" and the auto-sync switch; the filter field; the count of rows; the table of assigned issues and
// pull requests with their star and archive buttons, title link, repository, type, age
// and state, and a header button that shows only the favourites; a loading card while a
// sync runs; the bottom area whose panel lists the archived items; toasts; and the status
// lines. With several accounts: an account picker, and an account column; an address is
// added to the account whose server it belongs to. The filter and the favourites switch
// apply to every account's feed alike; the first account's feed holds them.
class AssignmentsTab : public QWidget
{
    Q_OBJECT

public:
    explicit AssignmentsTab(AccountSessions& sessions, QWidget* parent = nullptr);
    ~AssignmentsTab() override;

    FeedTableView* table() const { return m_table; }
    AssignmentListModel* model() const { return m_model; }
    BottomArea* bottomArea() const { return m_bottomArea; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildHeaderRow();
    QWidget* buildFilterRow();
    QWidget* buildCountRow();
    QWidget* buildArchivedPanel();
    void placeFavoritesFilter();
    void updateFavoritesFilter();
    void updateFilter();
    void updateCount();
    void addFromField();
    void pasteAddress();
    void setTextFilter(const QString& text);
    // A feed of a new account takes the tab's filter and favourites switch, and its
    // toasts show.
    void adopt(AccountSession* session);

    AccountSessions& m_sessions;
    AssignmentsViewModel& m_viewModel;
    Scheduler& m_scheduler;
    AssignmentListModel* m_model;
    FeedTableView* m_table;
    QLineEdit* m_urlField = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_resyncButton = nullptr;
    QCheckBox* m_autoReload = nullptr;
    AccountPicker* m_accountPicker = nullptr;
    FilterRow* m_filterRow = nullptr;
    CountRow* m_countRow = nullptr;
    QToolButton* m_favoritesFilter;
    LoadingCard* m_loadingCard;
    BottomArea* m_bottomArea;
    FeedStatusArea* m_statusArea = nullptr;
    Toast* m_toast;
};
