#include "DesktopIntegration.h"

#include "TrayIcon.h"
#include "assignments/AssignmentsViewModel.h"
#include "core/DebugLogger.h"
#include "core/Scheduler.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationsViewModel.h"
#include "views/MainWindow.h"
#include "views/RowCommands.h"
#include "views/WindowActivation.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>

using namespace std::chrono_literals;

namespace {

constexpr int kStatusAreaChecks = 10;
constexpr auto kStatusAreaCheckInterval = 1s;

} // namespace

DesktopIntegration::DesktopIntegration(
    AccountSessions& sessions, MainWindow& window, DesktopSetup setup, QObject* parent)
    : QObject(parent)
    , m_environment(sessions.first().environment())
    , m_sessions(sessions)
    , m_window(window)
    , m_setup(std::move(setup))
    , m_settings(*m_environment.preferences)
    , m_autostart(m_setup.autostartDirectory, m_setup.program)
    , m_notifications(*m_environment.logger, m_setup.bus)
    , m_trayStatus(sessions)
    , m_tray(new TrayIcon(m_trayStatus, &window, this))
{
    for (AccountSession* session : sessions.sessions())
        followArrivals(session);
    connect(&sessions, &AccountSessions::sessionAdded, this, &DesktopIntegration::followArrivals);
    connect(&sessions, &AccountSessions::sessionAboutToBeRemoved, this,
        [this](AccountSession* session) { m_arrivals.erase(session); });
    connect(&sessions, &AccountSessions::sessionsChanged, this, &DesktopIntegration::nameAnnouncers);
    nameAnnouncers();
    connect(m_tray, &TrayIcon::resyncRequested, this, &DesktopIntegration::resync);
    connect(m_tray, &TrayIcon::quitRequested, this, &DesktopIntegration::quitRequested);
    window.installEventFilter(this);
    waitForStatusArea(kStatusAreaChecks);
}

DesktopIntegration::~DesktopIntegration()
{
    delete m_notice;
}

void DesktopIntegration::followArrivals(AccountSession* session)
{
    Arrivals& arrivals = m_arrivals[session];
    arrivals.watcher = std::make_unique<NewThreadWatcher>(session->notifications());
    arrivals.announcer = std::make_unique<NewThreadAnnouncer>(m_notifications, session->environment().endpoints);
    NewThreadAnnouncer* announcer = arrivals.announcer.get();
    // The switches are read when they apply, not before the window first paints: the
    // preference file is read whole at its first use, caches and all.
    connect(arrivals.watcher.get(), &NewThreadWatcher::arrived, this,
        [this, announcer](const QList<NotificationPtr>& threads) {
            m_trayStatus.noteArrival();
            if (m_settings.desktopNotifications())
                announcer->announce(threads);
        });
    connect(announcer, &NewThreadAnnouncer::openRequested, this, &RowCommands::open);
    connect(announcer, &NewThreadAnnouncer::showWindowRequested, this,
        [this] { WindowActivation::bringToFront(&m_window); });
}

void DesktopIntegration::nameAnnouncers()
{
    for (const auto& [session, arrivals] : m_arrivals)
        arrivals.announcer->setAccountName(m_sessions.hasSeveral() ? session->label() : QString());
}

QMessageBox* DesktopIntegration::backgroundNotice() const
{
    return m_notice;
}

bool DesktopIntegration::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window
        && (event->type() == QEvent::Show || event->type() == QEvent::Hide
            || event->type() == QEvent::WindowStateChange))
        m_trayStatus.setWindowInSight(m_window.isVisible() && !m_window.isMinimized());
    return QObject::eventFilter(watched, event);
}

QAction* DesktopIntegration::addSwitch(QMenu* menu, const QString& text, const QString& objectName)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(objectName);
    action->setCheckable(true);
    return action;
}

void DesktopIntegration::addSettings(QMenu* menu)
{
    // `triggered` rather than `toggled`: only the user's choice is stored, not the
    // unchecked look of a switch that does not apply.
    QAction* keepRunning = addSwitch(menu, tr("Keep Running in Background"), QStringLiteral("keepRunning"));
    connect(keepRunning, &QAction::triggered, this, [this](bool on) { m_settings.setKeepRunningInBackground(on); });
    QAction* notifications = addSwitch(menu, tr("Desktop Notifications"), QStringLiteral("desktopNotifications"));
    connect(notifications, &QAction::triggered, this, [this](bool on) { m_settings.setDesktopNotifications(on); });
    QAction* startAtLogin = addSwitch(menu, tr("Start at Login"), QStringLiteral("startAtLogin"));
    connect(startAtLogin, &QAction::triggered, this, [this, startAtLogin](bool on) {
        if (m_autostart.setEnabled(on))
            return;
        m_environment.logger->log(QStringLiteral("Cannot change the autostart entry ") + m_autostart.filePath(),
            LogLevel::Warning, QStringLiteral("Desktop"));
        startAtLogin->setChecked(m_autostart.isEnabled());
    });

    // Read as the menu opens: the status area may come or go, another program may remove
    // the entry, and the preference file is not read before the window first paints.
    connect(menu, &QMenu::aboutToShow, this, [this, keepRunning, notifications, startAtLogin] {
        const bool statusArea = m_setup.trayAvailable();
        keepRunning->setEnabled(statusArea);
        keepRunning->setChecked(statusArea && m_settings.keepRunningInBackground());
        notifications->setChecked(m_settings.desktopNotifications());
        startAtLogin->setChecked(m_autostart.isEnabled());
    });
}

bool DesktopIntegration::keepRunningAfterClose()
{
    if (!m_tray->icon()->isVisible() || !m_setup.trayAvailable() || !m_settings.keepRunningInBackground())
        return false;
    if (!m_settings.backgroundNoticeShown()) {
        m_settings.setBackgroundNoticeShown();
        showBackgroundNotice();
    }
    return true;
}

void DesktopIntegration::showBackgroundNotice()
{
    if (m_notice) {
        WindowActivation::bringToFront(m_notice);
        return;
    }
    // No parent: the window it would belong to has just been hidden.
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Tidewhelk"),
        tr("Tidewhelk keeps running in the status area"), QMessageBox::Ok);
    box->setObjectName(QStringLiteral("backgroundNotice"));
    box->setIconPixmap(QIcon(QStringLiteral(":/icons/tidewhelk.svg")).pixmap(64, 64));
    box->setInformativeText(
        tr("Your lists go on syncing in the background. Click its icon to open the window again, or "
           "choose Quit in the icon's menu to end it.\n\nTo quit whenever the window closes, turn off "
           "Settings ▸ Keep Running in Background."));
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_notice = box;
    box->show();
}

void DesktopIntegration::startHidden()
{
    m_startedHidden = true;
    m_sessions.start();
}

void DesktopIntegration::waitForStatusArea(int checksLeft)
{
    if (m_setup.trayAvailable()) {
        m_tray->icon()->show();
        return;
    }
    if (checksLeft == 0) {
        if (m_startedHidden && !m_window.isVisible())
            WindowActivation::bringToFront(&m_window);
        return;
    }
    m_environment.scheduler->singleShot(
        kStatusAreaCheckInterval, this, [this, checksLeft] { waitForStatusArea(checksLeft - 1); });
}

void DesktopIntegration::resync()
{
    for (AccountSession* session : m_sessions.sessions()) {
        NotificationsViewModel& notifications = session->notifications();
        AssignmentsViewModel& assignments = session->assignments();
        // As the tabs' own Re-sync buttons, which wait while their feed syncs.
        if (!notifications.isLoading())
            notifications.resyncAll();
        if (!assignments.isLoading())
            assignments.resyncAll();
    }
}
