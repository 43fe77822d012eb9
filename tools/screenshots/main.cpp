// Renders the window, its sheets and its other windows to PNG files, on the demo
// account, in a light and a dark palette, in the environment's language:
// `tidewhelk-screenshots DIR` (run it through scripts/screenshots, which builds it and
// picks Qt's offscreen platform and the language).

#include "DemoSession.h"
#include "FakeGitHub.h"
#include "TidewhelkApp.h"
#include "TrayIcon.h"
#include "assignments/AssignmentsViewModel.h"
#include "core/DebugLogger.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationsViewModel.h"
#include "signin/GitHubOAuthService.h"
#include "views/AccountsDialog.h"
#include "views/AddAccountDialog.h"
#include "views/AssignmentsTab.h"
#include "views/BottomArea.h"
#include "views/ContentView.h"
#include "views/DebugLogWindow.h"
#include "views/FeedTableView.h"
#include "views/MainWindow.h"
#include "views/ManageViewsDialog.h"
#include "views/ManualTokenInputView.h"
#include "views/NotificationListModel.h"
#include "views/OAuthAuthenticationView.h"
#include "views/RepositoryGroupModel.h"
#include "views/SaveViewDialog.h"
#include "views/SavedViewPicker.h"
#include "views/Translations.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTextStream>

#include <functional>

namespace {

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Runs the event loop until `condition` holds or `timeoutMs` pass.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 15000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void settle(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QPalette darkPalette()
{
    QPalette palette;
    const QColor window(0x2b, 0x2b, 0x2f);
    const QColor base(0x1f, 0x1f, 0x23);
    const QColor text(0xe8, 0xe8, 0xea);
    const QColor disabled(0x80, 0x80, 0x86);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0xa0));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3f));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x50));
    palette.setColor(QPalette::Midlight, QColor(0x3f, 0x3f, 0x45));
    palette.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x35));
    palette.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x1b));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(0x2f, 0x7d, 0xe1));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x5a, 0xa9, 0xff));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    palette.setColor(QPalette::Disabled, QPalette::Text, disabled);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    return palette;
}

class Shooter
{
public:
    Shooter(QDir directory, QString theme)
        : m_directory(std::move(directory))
        , m_theme(std::move(theme))
    { }

    void save(QWidget* widget, const QString& name)
    {
        const QString path = m_directory.filePath(m_theme + u'-' + name + QStringLiteral(".png"));
        if (!widget || !widget->grab().save(path))
            err() << "screenshots: could not render " << path << Qt::endl;
        else
            err() << path << Qt::endl;
    }

    // The window with a popup of its own (a picker's list) drawn where it shows.
    void saveWithPopup(QWidget* window, QWidget* popup, const QString& name)
    {
        QPixmap picture = window->grab();
        {
            QPainter painter(&picture);
            painter.drawPixmap(popup->mapToGlobal(QPoint()) - window->mapToGlobal(QPoint()), popup->grab());
        }
        const QString path = m_directory.filePath(m_theme + u'-' + name + QStringLiteral(".png"));
        if (!picture.save(path))
            err() << "screenshots: could not render " << path << Qt::endl;
        else
            err() << path << Qt::endl;
    }

private:
    QDir m_directory;
    QString m_theme;
};

// The icon's three pictures at the sizes panels use, side by side.
std::unique_ptr<QWidget> trayPictures()
{
    auto strip = std::make_unique<QWidget>();
    auto* layout = new QHBoxLayout(strip.get());
    for (const TrayStatus::State state :
        {TrayStatus::State::Quiet, TrayStatus::State::Unread, TrayStatus::State::NewArrivals}) {
        for (const int size : {22, 48}) {
            auto* picture = new QLabel(strip.get());
            picture->setPixmap(TrayIcon::iconFor(state).pixmap(size, size));
            layout->addWidget(picture);
        }
        layout->addSpacing(16);
    }
    strip->setAutoFillBackground(true);
    strip->adjustSize();
    return strip;
}

template <typename T>
T* findChild(QWidget* parent, const QString& name)
{
    return parent ? parent->findChild<T*>(name) : nullptr;
}

int shoot(const QDir& directory, const QString& theme)
{
    auto fake = std::make_unique<FakeGitHub>();
    FakeGitHub& server = *fake;
    DemoSession demo(std::move(fake));
    QString error;
    if (!demo.start(&error)) {
        err() << "screenshots: " << error << Qt::endl;
        return 1;
    }
    Shooter shooter(directory, theme);
    TidewhelkApp app(demo.environment(), {}, &demo.services());
    MainWindow& window = app.window();
    window.resize(1240, 780);
    app.show();
    ContentView* content = window.contentView();
    NotificationsViewModel& notifications = app.sessions().first().notifications();
    AssignmentsViewModel& assignments = app.sessions().first().assignments();
    waitFor([&] { return !notifications.isLoading() && !assignments.isLoading(); });
    // New threads fade from yellow over three seconds after they are first shown.
    settle(1300);
    shooter.save(&window, QStringLiteral("notifications-fading"));
    settle(2500);

    const QStringList tabs {
        QStringLiteral("notifications"), QStringLiteral("favorites"), QStringLiteral("assignments")};
    for (int tab = 0; tab < tabs.size(); ++tab) {
        content->tabs()->setCurrentIndex(tab);
        settle(100);
        shooter.save(&window, QStringLiteral("main-") + tabs[tab]);
    }

    // Notifications grouped by repository, the second group collapsed.
    content->tabs()->setCurrentIndex(0);
    auto* notificationsTable
        = findChild<FeedTableView>(content->tabs()->widget(0), QStringLiteral("notificationsTable"));
    notificationsTable->setGroupedByRepository(true);
    RepositoryGroupModel* groups = notificationsTable->groups();
    for (int row = 0, headers = 0; row < groups->rowCount(); ++row) {
        if (groups->isHeader(row) && ++headers == 2) {
            groups->setExpanded(row, false);
            break;
        }
    }
    notificationsTable->setCurrentIndex(groups->index(1, NotificationListModel::TitleColumn));
    settle(100);
    shooter.save(&window, QStringLiteral("notifications-grouped"));
    notificationsTable->setGroupedByRepository(false);
    notificationsTable->clearSelection();

    // A query with a qualifier not understood, and the line that says so.
    notifications.setTextFilter(QStringLiteral("is:pr foo:bar"));
    settle(100);
    shooter.save(&window, QStringLiteral("notifications-query-hint"));
    notifications.setTextFilter(QString());

    // Several rows selected: the selection bar, and the context menu that acts on them all.
    QAbstractItemModel* rows = notificationsTable->model();
    notificationsTable->selectionModel()->select(
        QItemSelection(rows->index(1, 0), rows->index(4, rows->columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QModelIndex menuRow = rows->index(2, NotificationListModel::TitleColumn);
    notificationsTable->selectionModel()->setCurrentIndex(menuRow, QItemSelectionModel::NoUpdate);
    settle(100);
    Q_EMIT notificationsTable->customContextMenuRequested(notificationsTable->visualRect(menuRow).center());
    auto* rowMenu = findChild<QMenu>(notificationsTable, QStringLiteral("rowMenu"));
    settle(200);
    shooter.saveWithPopup(&window, rowMenu, QStringLiteral("notifications-selection-menu"));
    rowMenu->hide();
    notificationsTable->clearSelection();

    // Notifications: filtered, and syncing.
    notifications.setTextFilter(QStringLiteral("sync"));
    settle(100);
    shooter.save(&window, QStringLiteral("notifications-filtered"));

    // The saved views: the picker open, saving the field's query, and managing them.
    auto* viewPicker = findChild<SavedViewPicker>(content->tabs()->widget(0), QStringLiteral("savedViews"));
    auto* viewList = findChild<QComboBox>(viewPicker, QStringLiteral("savedViewPicker"));
    viewList->showPopup();
    settle(200);
    shooter.saveWithPopup(&window, viewList->view()->window(), QStringLiteral("views-picker"));
    viewList->hidePopup();
    notifications.setTextFilter(QStringLiteral("is:pr -review:approved"));
    viewPicker->openSaveDialog();
    auto* saveDialog = findChild<SaveViewDialog>(viewPicker, QStringLiteral("saveViewDialog"));
    findChild<QLineEdit>(saveDialog, QStringLiteral("viewName"))->setText(QStringLiteral("Waiting for review"));
    settle(200);
    shooter.save(saveDialog, QStringLiteral("views-save"));
    saveDialog->accept();
    viewPicker->openManageDialog();
    auto* manageDialog = findChild<ManageViewsDialog>(viewPicker, QStringLiteral("manageViewsDialog"));
    settle(200);
    shooter.save(manageDialog, QStringLiteral("views-manage"));
    manageDialog->close();
    notifications.setTextFilter(QString());
    server.injectFault(FaultTarget::path(QStringLiteral("/notifications")), Fault::neverAnswer());
    notifications.syncNotifications();
    settle(300);
    shooter.save(&window, QStringLiteral("notifications-syncing"));

    // Favorites with none starred, in any account.
    content->tabs()->setCurrentIndex(1);
    for (AccountSession* session : app.sessions().sessions()) {
        NotificationsViewModel& feed = session->notifications();
        feed.setFavorite(QList<NotificationPtr>(feed.favorites()), false);
    }
    settle(100);
    shooter.save(&window, QStringLiteral("favorites-empty"));

    // Assignments: a toast, the archived panel, the favourites only, and syncing.
    content->tabs()->setCurrentIndex(2);
    auto* assignmentsTab = window.findChild<AssignmentsTab*>();
    assignments.addAssignment(QStringLiteral("not a web address"));
    settle(500);
    shooter.save(&window, QStringLiteral("assignments-toast"));
    settle(3000);
    assignmentsTab->bottomArea()->setOpen(true);
    settle(600);
    shooter.save(&window, QStringLiteral("assignments-archived"));
    assignmentsTab->bottomArea()->setOpen(false);
    assignments.setShowOnlyFavorites(true);
    settle(500);
    shooter.save(&window, QStringLiteral("assignments-favorites"));
    assignments.setShowOnlyFavorites(false);
    server.injectFault(FaultTarget::prefix(QStringLiteral("/issues")), Fault::neverAnswer());
    assignments.syncAssignments();
    settle(300);
    shooter.save(&window, QStringLiteral("assignments-syncing"));
    server.clearFaults();
    content->tabs()->setCurrentIndex(0);

    // The sign-in sheet in each of its states.
    content->setShowAuthenticationView(true);
    OAuthAuthenticationView* sheet = content->signInSheet();
    settle(200);
    shooter.save(sheet, QStringLiteral("sign-in"));
    server.setDeviceCodeReply(OAuthReply::raw(404, R"({"message":"Not Found"})"));
    findChild<QPushButton>(sheet, QStringLiteral("signInWithGitHub"))->click();
    waitFor([&] { return sheet->service().state() == GitHubOAuthService::State::Failed; });
    settle(100);
    shooter.save(sheet, QStringLiteral("sign-in-error"));
    server.setDeviceCodeReply(OAuthReply::deviceCode(server.webBaseUrl().toString() + QStringLiteral("/login/device")));
    server.setLatency(std::chrono::milliseconds(1500));
    findChild<QPushButton>(sheet, QStringLiteral("signInWithGitHub"))->click();
    settle(200);
    shooter.save(sheet, QStringLiteral("sign-in-requesting"));
    server.setLatency({});
    waitFor([&] { return sheet->service().state() == GitHubOAuthService::State::Polling; });
    settle(100);
    shooter.save(sheet, QStringLiteral("sign-in-code"));

    findChild<QPushButton>(sheet, QStringLiteral("enterTokenManually"))->click();
    settle(100);
    ManualTokenInputView* manual = sheet->manualTokenInput();
    findChild<QLineEdit>(manual, QStringLiteral("tokenField"))->setText(QStringLiteral("ghp_pastedWithALineBreak "));
    settle(100);
    shooter.save(manual, QStringLiteral("manual-token"));
    manual->close();
    content->setShowAuthenticationView(false);
    settle(200);

    // The debug log with an entry of every level.
    DebugLogger& logger = *demo.environment().logger;
    logger.log(QStringLiteral("Starting device flow authentication"), LogLevel::Info, QStringLiteral("OAuth"));
    logger.log(QStringLiteral("Scopes: notifications repo read:user"), LogLevel::Debug, QStringLiteral("OAuth"));
    logger.log(QStringLiteral("Device code received"), LogLevel::Success, QStringLiteral("OAuth"));
    logger.log(QStringLiteral("GitHub asked to poll more slowly"), LogLevel::Warning, QStringLiteral("OAuth"));
    logger.log(QStringLiteral("GitHub returned HTTP 404"), LogLevel::Error, QStringLiteral("OAuth"));
    app.showDebugLogs();
    settle(600);
    shooter.save(app.debugWindow(), QStringLiteral("debug-logs"));
    app.debugWindow()->close();

    // An alert.
    app.runTestOAuthURL();
    QMessageBox* alert = nullptr;
    waitFor([&] { return (alert = window.findChild<QMessageBox*>(QStringLiteral("alert"))) != nullptr; });
    settle(200);
    shooter.save(alert, QStringLiteral("alert"));
    if (alert)
        alert->accept();
    settle(100);

    // The Settings menu, the status-area icon's menu and pictures, and the message of
    // the first close to the status area.
    QMenu* settings = findChild<QMenu>(&window, QStringLiteral("settingsMenu"));
    settings->popup(window.mapToGlobal(QPoint(60, 30)));
    settle(200);
    shooter.save(settings, QStringLiteral("settings-menu"));
    settings->hide();
    QMenu* trayMenu = app.desktop().tray().menu();
    trayMenu->popup(QPoint(400, 300));
    settle(200);
    shooter.save(trayMenu, QStringLiteral("tray-menu"));
    trayMenu->hide();
    shooter.save(trayPictures().get(), QStringLiteral("tray-icons"));
    app.desktop().showBackgroundNotice();
    settle(200);
    shooter.save(app.desktop().backgroundNotice(), QStringLiteral("keeps-running"));
    app.desktop().backgroundNotice()->close();
    settle(100);

    // The Accounts dialog with an account on a GitHub Enterprise Server beside the demo's
    // two, and the Add Account dialog after the user typed such a server. The sessions do
    // not start: nothing asks the made-up server.
    AccountBook& book = demo.services().book();
    book.add(QStringLiteral("hubot"), ServerAddress::parse(QStringLiteral("github.example.com"))->endpoints());
    AccountSessions sessions(demo.environment(), FeedController::StartUp::OnStart, &demo.services());
    AccountsDialog accounts(sessions, demo.services(), &window);
    accounts.show();
    settle(200);
    shooter.save(&accounts, QStringLiteral("accounts-dialog"));
    findChild<QPushButton>(&accounts, QStringLiteral("addAccount"))->click();
    AddAccountDialog* addAccount = accounts.addAccountDialog();
    findChild<QLineEdit>(addAccount, QStringLiteral("serverField"))->setText(QStringLiteral("github.example.com"));
    settle(200);
    shooter.save(addAccount, QStringLiteral("add-account-enterprise"));
    addAccount->close();
    accounts.close();
    settle(100);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const Translations translations {QLocale()};
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (argc != 2) {
        err() << "usage: tidewhelk-screenshots DIR" << Qt::endl;
        return 2;
    }
    const QDir directory(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(directory.path())) {
        err() << "screenshots: cannot create " << directory.path() << Qt::endl;
        return 1;
    }
    const QPalette light = QApplication::style()->standardPalette();
    QApplication::setPalette(light);
    if (const int failed = shoot(directory, QStringLiteral("light")))
        return failed;
    QApplication::setPalette(darkPalette());
    return shoot(directory, QStringLiteral("dark"));
}
