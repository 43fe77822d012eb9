#include "views/ContentView.h"

#include "assignments/AssignmentsViewModel.h"
#include "core/Console.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationsViewModel.h"
#include "views/AssignmentsTab.h"
#include "views/FavoritesTab.h"
#include "views/FeedTableView.h"
#include "views/NotificationsTab.h"
#include "views/OAuthAuthenticationView.h"
#include "views/ReceivedURL.h"
#include "views/SavedViewPicker.h"
#include "views/Symbols.h"
#include "views/WindowActivation.h"

#include <QAction>
#include <QEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

ContentView::ContentView(AccountSessions& sessions, QWidget* parent)
    : QWidget(parent)
    , m_sessions(sessions)
    , m_tabs(new QTabWidget(this))
    , m_connectAction(new QAction(tr("Connect GitHub Account"), this))
    , m_groupAction(new QAction(tr("Group by Repository"), this))
{
    setObjectName(QStringLiteral("contentView"));
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setDocumentMode(true);
    m_tabs->setIconSize(QSize(18, 18));
    m_tabs->addTab(new NotificationsTab(sessions, m_tabs), Symbols::icon(QStringLiteral("bell")), tr("Notifications"));
    m_tabs->addTab(new FavoritesTab(sessions, m_tabs), Symbols::icon(QStringLiteral("star")), tr("Favorites"));
    m_tabs->addTab(new AssignmentsTab(sessions, m_tabs),
        Symbols::icon(QStringLiteral("person.crop.circle.badge.checkmark")), tr("Assignments"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);

    m_tabs->tabBar()->installEventFilter(this);
    m_connectAction->setObjectName(QStringLiteral("connectGitHubAccount"));
    connect(m_connectAction, &QAction::triggered, this, [this] { setShowAuthenticationView(true); });
    connect(&sessions, &AccountSessions::signInNeeded, this, &ContentView::signIn);

    m_groupAction->setObjectName(QStringLiteral("groupByRepository"));
    m_groupAction->setCheckable(true);
    m_groupAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G));
    // Its shortcut works in the window whether or not a menu holds it.
    addAction(m_groupAction);
    connect(m_groupAction, &QAction::triggered, this, [this](bool grouped) {
        if (FeedTableView* table = shownGroupableTable())
            table->setGroupedByRepository(grouped);
    });
    for (FeedTableView* table : findChildren<FeedTableView*>())
        connect(table, &FeedTableView::groupedByRepositoryChanged, this, &ContentView::updateGroupAction);
    connect(m_tabs, &QTabWidget::currentChanged, this, &ContentView::updateGroupAction);
    updateGroupAction();
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
    // The list on screen reads its caches and is painted before the other one reads its
    // own, so that a large account's rows show without waiting for both.
    const bool assignmentsShown = qobject_cast<AssignmentsTab*>(m_tabs->currentWidget()) != nullptr;
    for (AccountSession* session : m_sessions.sessions()) {
        FeedController& shown = assignmentsShown ? static_cast<FeedController&>(session->assignments())
                                                 : static_cast<FeedController&>(session->notifications());
        shown.start();
    }
    m_tabs->currentWidget()->repaint();
    m_sessions.start();
}

SavedViewPicker* ContentView::shownViewPicker() const
{
    return m_tabs->currentWidget()->findChild<SavedViewPicker*>();
}

FeedTableView* ContentView::shownGroupableTable() const
{
    QWidget* tab = m_tabs->currentWidget();
    FeedTableView* table = nullptr;
    if (const auto* notifications = qobject_cast<NotificationsTab*>(tab))
        table = notifications->table();
    else if (const auto* assignments = qobject_cast<AssignmentsTab*>(tab))
        table = assignments->table();
    return table && table->canGroupByRepository() ? table : nullptr;
}

void ContentView::updateGroupAction()
{
    const FeedTableView* table = shownGroupableTable();
    m_groupAction->setEnabled(table != nullptr);
    m_groupAction->setChecked(table && table->isGroupedByRepository());
}

OAuthAuthenticationView* ContentView::signInSheet() const
{
    return m_signInSheet;
}

void ContentView::setShowAuthenticationView(bool show)
{
    if (show) {
        signIn(&m_sessions.first());
        return;
    }
    m_waitingSignIns.clear();
    if (m_showAuthenticationView && m_signInSheet)
        m_signInSheet->close();
}

void ContentView::signIn(AccountSession* session)
{
    // Either feed may report first; a second report while the sheet is open changes nothing.
    if (m_showAuthenticationView) {
        if (session != m_signInSession && !m_waitingSignIns.contains(session))
            m_waitingSignIns.append(session);
        return;
    }
    openSignInSheet(session);
}

void ContentView::openSignInSheet(AccountSession* session)
{
    m_showAuthenticationView = true;
    m_connectAction->setEnabled(false);
    m_signInSession = session;
    // A fresh service for each presentation; closing the sheet releases it.
    auto* sheet = new OAuthAuthenticationView(session->environment(), window());
    if (m_sessions.hasSeveral())
        sheet->setWindowTitle(sheet->windowTitle() + QStringLiteral(" — ") + session->label());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(sheet, &QDialog::finished, this, &ContentView::signInSheetClosed);
    m_signInSheet = sheet;
    sheet->open();
}

void ContentView::signInSheetClosed()
{
    m_showAuthenticationView = false;
    m_connectAction->setEnabled(true);
    if (m_signInSession)
        m_signInSession->resumeAfterSignIn();
    m_signInSession = nullptr;
    while (!m_waitingSignIns.isEmpty()) {
        AccountSession* next = m_waitingSignIns.takeFirst();
        if (next) {
            openSignInSheet(next);
            return;
        }
    }
}

void ContentView::handleOpenURL(const ReceivedURL& url)
{
    Console& console = *m_sessions.first().environment().console;
    console.print(QStringLiteral("🔗 ContentView: Received URL: ") + url.text());
    WindowActivation::bringToFront(window());
    if (url.scheme() != QLatin1String("tidewhelk") || url.host() != QLatin1String("oauth"))
        return;
    console.print(QStringLiteral("✅ OAuth: Valid callback URL received in ContentView"));
    Q_EMIT callbackURLReceived(url);
}
