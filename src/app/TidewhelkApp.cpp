#include "TidewhelkApp.h"

#include "core/Console.h"
#include "notifications/NotificationsViewModel.h"
#include "views/AccountsDialog.h"
#include "views/Alerts.h"
#include "views/ContentView.h"
#include "views/DebugLogWindow.h"
#include "views/MainWindow.h"
#include "views/ReceivedURL.h"
#include "views/SavedViewPicker.h"
#include "views/WindowActivation.h"

#include <QAction>
#include <QMenuBar>
#include <QMessageBox>

TidewhelkApp::TidewhelkApp(
    const Environment& environment, DesktopSetup desktop, AccountDirectory* accounts, QObject* parent)
    : QObject(parent)
    , m_environment(environment)
    , m_layoutFile(RememberedLayout::filePathBeside(environment.preferences->filePath()))
    , m_resets(environment, m_layoutFile)
    , m_urlEventHandler(*environment.console)
    , m_layout(m_layoutFile)
    , m_sessions(environment, FeedController::StartUp::OnStart, accounts)
    , m_window(std::make_unique<MainWindow>(m_sessions))
    , m_desktop(std::make_unique<DesktopIntegration>(m_sessions, *m_window, std::move(desktop)))
    , m_accounts(accounts)
{
    m_layout.attachMainWindow(m_window.get());
    m_urlEventHandler.setWindow(m_window.get());
    ContentView* content = m_window->contentView();
    connect(&m_urlEventHandler, &URLEventHandler::urlReceived, content, &ContentView::handleOpenURL);
    connect(content, &ContentView::callbackURLReceived, &m_urlEventHandler, &URLEventHandler::handleURL);
    connect(m_window.get(), &MainWindow::closed, this, &TidewhelkApp::windowClosed);
    connect(m_desktop.get(), &DesktopIntegration::quitRequested, this, &TidewhelkApp::quitRequested);
    installMenus();
}

TidewhelkApp::~TidewhelkApp()
{
    delete m_debugWindow;
}

DebugLogWindow* TidewhelkApp::debugWindow() const
{
    return m_debugWindow;
}

void TidewhelkApp::show()
{
    m_window->show();
}

void TidewhelkApp::start(bool hidden)
{
    if (hidden)
        m_desktop->startHidden();
    else
        show();
}

void TidewhelkApp::windowClosed()
{
    if (!m_desktop->keepRunningAfterClose())
        Q_EMIT quitRequested();
}

QAction* TidewhelkApp::addCommand(QMenu* menu, const QString& text, const QString& objectName)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(objectName);
    return action;
}

void TidewhelkApp::addReset(QMenu* menu, const QString& text, const QString& objectName,
    std::optional<ResetCommands::Alert> (ResetCommands::*command)())
{
    connect(addCommand(menu, text, objectName), &QAction::triggered, this, [this, command] {
        // The further accounts' feeds close first: they would write their caches again.
        if (command == &ResetCommands::resetAllData) {
            for (AccountSession* session : m_sessions.sessions().mid(1))
                m_sessions.remove(session);
        }
        const std::optional<ResetCommands::Alert> alert = (m_resets.*command)();
        if (alert)
            Alerts::showInformation(m_window.get(), alert->title, alert->text);
    });
}

void TidewhelkApp::installMenus()
{
    QMenuBar* bar = m_window->menuBar();

    QMenu* file = bar->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    QAction* quit = addCommand(file, tr("Quit"), QStringLiteral("quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &TidewhelkApp::quitRequested);

    QMenu* view = bar->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    view->addAction(m_window->contentView()->groupByRepositoryAction());

    QMenu* settings = bar->addMenu(tr("&Settings"));
    settings->setObjectName(QStringLiteral("settingsMenu"));
    // Without a directory (a window of one account in tests) there are no accounts to manage.
    if (m_accounts) {
        connect(addCommand(settings, tr("Accounts…"), QStringLiteral("accountsCommand")), &QAction::triggered, this,
            &TidewhelkApp::showAccounts);
        settings->addSeparator();
    }
    m_desktop->addSettings(settings);
    settings->addSeparator();
    QAction* removeReadElsewhere
        = addCommand(settings, tr("Remove Threads Read Elsewhere"), QStringLiteral("removeReadElsewhere"));
    removeReadElsewhere->setCheckable(true);
    // One switch for every account, ticked as the first account's.
    connect(removeReadElsewhere, &QAction::triggered, this, [this](bool remove) {
        for (AccountSession* session : m_sessions.sessions())
            session->notifications().setRemoveReadElsewhere(remove);
    });
    // The controller reads the stored switch only once the window has painted.
    connect(settings, &QMenu::aboutToShow, removeReadElsewhere, [this, removeReadElsewhere] {
        removeReadElsewhere->setChecked(m_sessions.first().notifications().removeReadElsewhere());
    });
    settings->addSeparator();
    // They act on the views of the tab on screen; the Favorites tab has no filter.
    QAction* saveView = addCommand(settings, tr("Save View…"), QStringLiteral("saveViewCommand"));
    QAction* manageViews = addCommand(settings, tr("Manage Views…"), QStringLiteral("manageViewsCommand"));
    connect(saveView, &QAction::triggered, this, [this] {
        if (SavedViewPicker* picker = m_window->contentView()->shownViewPicker())
            picker->openSaveDialog();
    });
    connect(manageViews, &QAction::triggered, this, [this] {
        if (SavedViewPicker* picker = m_window->contentView()->shownViewPicker())
            picker->openManageDialog();
    });
    connect(settings, &QMenu::aboutToShow, this, [this, saveView, manageViews] {
        const SavedViewPicker* picker = m_window->contentView()->shownViewPicker();
        saveView->setEnabled(picker && picker->canSave());
        manageViews->setEnabled(picker != nullptr);
    });

    QMenu* debug = bar->addMenu(tr("Debug"));
    debug->setObjectName(QStringLiteral("debugMenu"));
    connect(addCommand(debug, tr("Show Debug Logs"), QStringLiteral("showDebugLogs")), &QAction::triggered, this,
        &TidewhelkApp::showDebugLogs);
    debug->addSeparator();
    addReset(debug, tr("Reset All Data"), QStringLiteral("resetAllData"), &ResetCommands::resetAllData);
    debug->addSeparator();
    addReset(debug, tr("Reset Notification Cache"), QStringLiteral("resetNotificationCache"),
        &ResetCommands::resetNotificationCache);
    addReset(
        debug, tr("Reset Issues Cache"), QStringLiteral("resetIssuesCache"), &ResetCommands::resetAssignmentsCache);
    debug->addSeparator();
    addReset(debug, tr("Delete Token Only"), QStringLiteral("deleteTokenOnly"), &ResetCommands::deleteToken);
    addReset(debug, tr("Clear UserDefaults"), QStringLiteral("clearUserDefaults"), &ResetCommands::clearPreferences);
    debug->addSeparator();
    connect(addCommand(debug, tr("Test OAuth URL"), QStringLiteral("testOAuthURL")), &QAction::triggered, this,
        &TidewhelkApp::runTestOAuthURL);

    QMenu* help = bar->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    QAction* about = addCommand(help, tr("About Tidewhelk"), QStringLiteral("aboutTidewhelk"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &TidewhelkApp::showAbout);
    help->addSeparator();
    addReset(help, tr("Reset App Data"), QStringLiteral("resetAppData"), &ResetCommands::resetAllData);
}

void TidewhelkApp::showDebugLogs()
{
    if (m_debugWindow) {
        m_debugWindow->close();
        m_debugWindow->deleteLater();
    }
    m_debugWindow = new DebugLogWindow(*m_environment.logger, *m_environment.scheduler);
    if (m_layout.attachDebugWindow(m_debugWindow))
        WindowActivation::bringToFront(m_debugWindow);
    else
        m_debugWindow->present();
}

void TidewhelkApp::runTestOAuthURL()
{
    const std::optional<ReceivedURL> url = ReceivedURL::parse(QLatin1String(testOAuthURL));
    m_urlEventHandler.handleURL(*url);
    m_environment.console->print(QStringLiteral("🧪 Tested OAuth URL handling with: ") + url->text());
}

void TidewhelkApp::showAccounts()
{
    if (m_accountsDialog) {
        WindowActivation::bringToFront(m_accountsDialog);
        return;
    }
    auto* dialog = new AccountsDialog(m_sessions, *m_accounts, m_window.get());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &AccountsDialog::signInRequested, m_window->contentView(), &ContentView::signIn);
    m_accountsDialog = dialog;
    dialog->show();
}

void TidewhelkApp::showAbout()
{
    auto* box = new QMessageBox(m_window.get());
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setWindowTitle(tr("About Tidewhelk"));
    box->setIconPixmap(QIcon(QStringLiteral(":/icons/tidewhelk.svg")).pixmap(64, 64));
    box->setText(QStringLiteral("<b>Tidewhelk</b> %1").arg(QStringLiteral(TIDEWHELK_VERSION)));
    box->setInformativeText(tr("Your GitHub notification threads and assigned issues, kept up to date."));
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
