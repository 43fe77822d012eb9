#pragma once

#include "DesktopIntegration.h"
#include "ResetCommands.h"
#include "URLEventHandler.h"
#include "desktop/AccountSessions.h"
#include "storage/Environment.h"
#include "storage/PreferenceStore.h"
#include "views/RememberedLayout.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>

class AccountsDialog;
class DebugLogWindow;
class MainWindow;
class QAction;
class QMenu;

// The windowed application: the main window with its menus (File, View, Settings,
// Debug, Help), the URL events handed to it, the "Debug Logs" window, of which there is at most
// one, the windows' remembered layout, and the desktop integration (status-area icon,
// desktop notifications, running in the background, starting at login).
class TidewhelkApp : public QObject
{
    Q_OBJECT

public:
    // The placeholder callback "Test OAuth URL" hands to the URL handler.
    static constexpr auto testOAuthURL = "tidewhelk://oauth/callback?code=test-code-1234&state=test-state-5678";

    // The window shows the accounts of `accounts`, or the first account's alone without one.
    explicit TidewhelkApp(const Environment& environment, DesktopSetup desktop = {},
        AccountDirectory* accounts = nullptr, QObject* parent = nullptr);
    ~TidewhelkApp() override;

    // The accounts whose feeds the window shows.
    AccountSessions& sessions() { return m_sessions; }
    MainWindow& window() const { return *m_window; }
    URLEventHandler& urlEventHandler() { return m_urlEventHandler; }
    DesktopIntegration& desktop() const { return *m_desktop; }
    // The current debug window, if one was opened.
    DebugLogWindow* debugWindow() const;

    void show();
    // Shows the window, or with `hidden` starts in the status area (DesktopIntegration).
    void start(bool hidden);
    // Opens a new debug window in place of the previous one, showing every level.
    void showDebugLogs();
    void runTestOAuthURL();

Q_SIGNALS:
    // The user quit, or closed the main window while the application does not keep
    // running in the background: the application should end.
    void quitRequested();

private:
    void installMenus();
    QAction* addCommand(QMenu* menu, const QString& text, const QString& objectName);
    void addReset(QMenu* menu, const QString& text, const QString& objectName,
        std::optional<ResetCommands::Alert> (ResetCommands::*command)());
    void showAbout();
    // "Accounts…": one dialog at a time, brought to the front when asked again.
    void showAccounts();
    void windowClosed();

    Environment m_environment;
    PreferenceStore m_layoutFile;
    ResetCommands m_resets;
    URLEventHandler m_urlEventHandler;
    RememberedLayout m_layout;
    AccountSessions m_sessions;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<DesktopIntegration> m_desktop;
    QPointer<DebugLogWindow> m_debugWindow;
    AccountDirectory* m_accounts;
    QPointer<AccountsDialog> m_accountsDialog;
};
