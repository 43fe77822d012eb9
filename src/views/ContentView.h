#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class AccountSession;
class AccountSessions;
class FeedTableView;
class OAuthAuthenticationView;
class QAction;
class QTabWidget;
class ReceivedURL;
class SavedViewPicker;

// The main window's content: shows the accounts' Notifications, Favorites and
// Assignments tabs (opening it starts the accounts' feeds: the controllers read their
// caches and sync once the window has first painted, so that it appears at once however
// large the caches are), and runs the sign-in sheet: it opens for an account when either
// of its feeds reports a missing or refused token, or for the first account when the
// user asks to connect one; when it closes, that account's feeds read the stored token
// afresh and sync half a second later. Accounts that need signing in meanwhile wait
// their turn.
class ContentView : public QWidget
{
    Q_OBJECT

public:
    explicit ContentView(AccountSessions& sessions, QWidget* parent = nullptr);
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
    // Opens the sign-in sheet for the first account, or closes the sheet.
    void setShowAuthenticationView(bool show);
    // Opens the sign-in sheet for `session`'s account, or after the sheet open now.
    void signIn(AccountSession* session);
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
    void openSignInSheet(AccountSession* session);
    void signInSheetClosed();
    // The table of the tab on screen, if it can be grouped.
    FeedTableView* shownGroupableTable() const;
    void updateGroupAction();

    AccountSessions& m_sessions;
    QTabWidget* m_tabs;
    QAction* m_connectAction;
    QAction* m_groupAction;
    QPointer<OAuthAuthenticationView> m_signInSheet;
    // The account the open sheet signs in, and those waiting for their turn.
    QPointer<AccountSession> m_signInSession;
    QList<QPointer<AccountSession>> m_waitingSignIns;
    bool m_showAuthenticationView = false;
    bool m_started = false;
};
