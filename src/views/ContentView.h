#pragma once

#include <QPointer>
#include <QWidget>

class AccountSession;
class FeedTableView;
class OAuthAuthenticationView;
class QAction;
class QTabWidget;
class ReceivedURL;
class SavedViewPicker;

// The main window's content: shows an account's Notifications, Favorites and
// Assignments tabs (opening it starts the account's feeds: the controllers read their
// caches and sync once the window has first painted, so that it appears at once however
// large the caches are), and runs the sign-in sheet: it opens when either feed reports a
// missing or refused token, or when the user asks to connect an account; when it
// closes, the feeds read the stored token afresh and sync half a second later.
class ContentView : public QWidget
{
    Q_OBJECT

public:
    explicit ContentView(AccountSession& session, QWidget* parent = nullptr);
    ~ContentView() override;

    QTabWidget* tabs() const { return m_tabs; }
    // The saved views of the tab on screen; none for a tab without a filter.
    SavedViewPicker* shownViewPicker() const;
    // Starts the feeds now rather than at the first paint: for a window that starts
    // hidden.
    void startFeeds();

    // "Connect GitHub Account", for the window's toolbar; disabled while the sheet is open.
    QAction* connectAccountAction() const { return m_connectAction; }
    // "Group by Repository", for the window's menu: the switch of the table on screen,
    // disabled on a tab whose table is never grouped.
    QAction* groupByRepositoryAction() const { return m_groupAction; }

    bool showAuthenticationView() const { return m_showAuthenticationView; }
    // Opens or closes the sign-in sheet.
    void setShowAuthenticationView(bool show);
    // The sign-in sheet while it is open.
    OAuthAuthenticationView* signInSheet() const;

    // A URL the desktop handed to the window: logged, the window comes to the front, and a
    // "tidewhelk://oauth…" callback goes on to callbackURLReceived.
    void handleOpenURL(const ReceivedURL& url);

Q_SIGNALS:
    void callbackURLReceived(const ReceivedURL& url);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void signInSheetClosed();
    // The table of the tab on screen, if it can be grouped.
    FeedTableView* shownGroupableTable() const;
    void updateGroupAction();

    AccountSession& m_session;
    QTabWidget* m_tabs;
    QAction* m_connectAction;
    QAction* m_groupAction;
    QPointer<OAuthAuthenticationView> m_signInSheet;
    bool m_showAuthenticationView = false;
    bool m_started = false;
};
