#pragma once

#include "desktop/AutostartEntry.h"
#include "desktop/DesktopNotifications.h"
#include "desktop/DesktopSettings.h"
#include "desktop/NewThreadAnnouncer.h"
#include "desktop/NewThreadWatcher.h"
#include "desktop/TrayStatus.h"
#include "storage/Environment.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>
#include <map>
#include <memory>

class AccountSession;
class AccountSessions;
class MainWindow;
class QAction;
class QMenu;
class QMessageBox;
class TrayIcon;

// What the desktop integration runs with; the defaults are the user's desktop.
struct DesktopSetup
{
    // Where "Start at Login" puts its entry, and the program the entry starts (empty:
    // this executable).
    QString autostartDirectory = AutostartEntry::defaultDirectory();
    QString program;
    // The desktop shows status-area icons now.
    std::function<bool()> trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    QDBusConnection bus = QDBusConnection::sessionBus();
};

// The application's place on the Linux desktop beside its window: the status-area icon,
// a desktop notification when a sync brings new threads, running on in the status area
// when the window is closed, and starting at login. Each is the user's to switch (in the
// Settings menu) and quietly absent where the desktop lacks the service. It follows
// every account; the switches are the first account's preferences.
class DesktopIntegration : public QObject
{
    Q_OBJECT

public:
    DesktopIntegration(AccountSessions& sessions, MainWindow& window, DesktopSetup setup, QObject* parent = nullptr);
    ~DesktopIntegration() override;

    TrayIcon& tray() const { return *m_tray; }
    // The message that the application keeps running, while it is shown.
    QMessageBox* backgroundNotice() const;

    // Adds "Keep Running in Background", "Desktop Notifications" and "Start at Login".
    void addSettings(QMenu* menu);

    // The user closed the window: true when the application keeps running in the status
    // area, which it says the first time.
    bool keepRunningAfterClose();
    // Starts the feeds with the window out of sight, in the status area. When the desktop
    // shows no status area within ten seconds, the window is shown.
    void startHidden();
    void showBackgroundNotice();

Q_SIGNALS:
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addSwitch(QMenu* menu, const QString& text, const QString& objectName);
    void resync();
    // The icon shows once the desktop has a status area, which may start after the
    // application at login: it is looked for once a second, ten times.
    void waitForStatusArea(int checksLeft);
    // Announces the threads the account's syncs bring.
    void followArrivals(AccountSession* session);
    void nameAnnouncers();

    // An account's watch on new threads and its desktop notifications.
    struct Arrivals
    {
        std::unique_ptr<NewThreadWatcher> watcher;
        std::unique_ptr<NewThreadAnnouncer> announcer;
    };

    Environment m_environment;
    AccountSessions& m_sessions;
    MainWindow& m_window;
    DesktopSetup m_setup;
    DesktopSettings m_settings;
    AutostartEntry m_autostart;
    DesktopNotifications m_notifications;
    std::map<AccountSession*, Arrivals> m_arrivals;
    TrayStatus m_trayStatus;
    TrayIcon* m_tray;
    QPointer<QMessageBox> m_notice;
    bool m_startedHidden = false;
};
