#include "views/ContentView.h"

#include "assignments/AssignmentsViewModel.h"
#include "core/Console.h"
#include "core/Scheduler.h"
#include "notifications/NotificationsViewModel.h"
#include "views/AssignmentsTab.h"
#include "views/FavoritesTab.h"
#include "views/NotificationsTab.h"
#include "views/OAuthAuthenticationView.h"
#include "views/ReceivedURL.h"
#include "views/Symbols.h"
#include "views/WindowActivation.h"

#include <QAction>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace std::chrono_literals;

namespace {

constexpr auto kSyncAfterSignIn = 500ms;

} // namespace

ContentView::ContentView(const Environment& environment, QWidget* parent)
    : QWidget(parent)
    , m_environment(environment)
    , m_viewModel(NotificationsViewModel::create(environment, FeedController::StartUp::OnStart))
    , m_assignmentsViewModel(AssignmentsViewModel::create(environment, FeedController::StartUp::OnStart))
    , m_tabs(new QTabWidget(this))
    , m_connectAction(new QAction(tr("Connect GitHub Account"), this))
{
    setObjectName(QStringLiteral("contentView"));
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setDocumentMode(true);
    m_tabs->setIconSize(QSize(18, 18));
    m_tabs->addTab(new NotificationsTab(*m_viewModel, environment, m_tabs), Symbols::icon(QStringLiteral("bell")),
        tr("Notifications"));
    m_tabs->addTab(
        new FavoritesTab(*m_viewModel, environment, m_tabs), Symbols::icon(QStringLiteral("star")), tr("Favorites"));
    m_tabs->addTab(new AssignmentsTab(*m_assignmentsViewModel, environment, m_tabs),
        Symbols::icon(QStringLiteral("person.crop.circle.badge.checkmark")), tr("Assignments"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);

    m_tabs->tabBar()->installEventFilter(this);
    m_connectAction->setObjectName(QStringLiteral("connectGitHubAccount"));
    connect(m_connectAction, &QAction::triggered, this, [this] { setShowAuthenticationView(true); });
    watchNeedsToken();
}

ContentView::~ContentView()
{
    // The sheet's service must not outlive the stores it uses.
    delete m_signInSheet;
}

bool ContentView::eventFilter(QObject* watched, QEvent* event)
{
    // The tab bar is painted with the window's first frame.
    if (watched == m_tabs->tabBar() && event->type() == QEvent::Paint && !std::exchange(m_started, true)) {
        QMetaObject::invokeMethod(this, &ContentView::startFeeds, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void ContentView::startFeeds()
{
    m_viewModel->start();
    m_assignmentsViewModel->start();
}

OAuthAuthenticationView* ContentView::signInSheet() const
{
    return m_signInSheet;
}

void ContentView::watchNeedsToken()
{
    // Either feed may report first; a second report while the sheet is open changes nothing.
    const auto open = [this](const FeedController& controller) {
        if (controller.needsToken() && !m_showAuthenticationView)
            setShowAuthenticationView(true);
    };
    connect(m_viewModel.get(), &FeedController::needsTokenChanged, this, [this, open] { open(*m_viewModel); });
    connect(m_assignmentsViewModel.get(), &FeedController::needsTokenChanged, this,
        [this, open] { open(*m_assignmentsViewModel); });
}

void ContentView::setShowAuthenticationView(bool show)
{
    if (show == m_showAuthenticationView)
        return;
    m_showAuthenticationView = show;
    m_connectAction->setEnabled(!show);
    if (!show) {
        if (m_signInSheet)
            m_signInSheet->close();
        return;
    }
    // A fresh service for each presentation; closing the sheet releases it.
    auto* sheet = new OAuthAuthenticationView(m_environment, window());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(sheet, &QDialog::finished, this, &ContentView::signInSheetClosed);
    m_signInSheet = sheet;
    sheet->open();
}

void ContentView::signInSheetClosed()
{
    m_showAuthenticationView = false;
    m_connectAction->setEnabled(true);
    m_viewModel->setNeedsToken(false);
    m_assignmentsViewModel->setNeedsToken(false);
    // A token saved in the sheet is used at once, not after the clients' five-minute cache.
    m_viewModel->forgetCachedToken();
    m_assignmentsViewModel->forgetCachedToken();
    m_environment.scheduler->singleShot(kSyncAfterSignIn, this, [this] {
        m_viewModel->syncNotifications();
        m_assignmentsViewModel->syncAssignments();
    });
}

void ContentView::handleOpenURL(const ReceivedURL& url)
{
    m_environment.console->print(QStringLiteral("🔗 ContentView: Received URL: ") + url.text());
    WindowActivation::bringToFront(window());
    if (url.scheme() != QLatin1String("tidewhelk") || url.host() != QLatin1String("oauth"))
        return;
    m_environment.console->print(QStringLiteral("✅ OAuth: Valid callback URL received in ContentView"));
    Q_EMIT callbackURLReceived(url);
}
