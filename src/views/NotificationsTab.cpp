#include "views/NotificationsTab.h"

#include "core/Scheduler.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationRules.h"
#include "notifications/NotificationsViewModel.h"
#include "views/AccountPicker.h"
#include "views/CountRow.h"
#include "views/FeedBindings.h"
#include "views/FeedStatusArea.h"
#include "views/FeedTableView.h"
#include "views/FilterRow.h"
#include "views/LoadingCard.h"
#include "views/NotificationListModel.h"
#include "views/RowCommands.h"
#include "views/SelectionBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

NotificationsTab::NotificationsTab(AccountSessions& sessions, QWidget* parent)
    : QWidget(parent)
    , m_sessions(sessions)
    , m_viewModel(sessions.first().notifications())
    , m_model(new NotificationListModel(
          sessions, NotificationListModel::Source::Filtered, *sessions.first().environment().scheduler, this))
    , m_table(new FeedTableView(*sessions.first().environment().scheduler, this))
    , m_loadingCard(new LoadingCard(tr("Syncing notifications..."), m_table, {}))
{
    setObjectName(QStringLiteral("notificationsTab"));
    m_table->setObjectName(QStringLiteral("notificationsTable"));
    m_table->setAccessibleName(tr("Notifications"));
    m_table->setRecords(m_model, NotificationListModel::RepositoryColumn);
    // Actions holds four 40-wide buttons and the cell's padding; Title and Reason share
    // what the other columns leave.
    m_table->setColumnWidths({180, 0, 0, 200, 120, 120, 110}, {NotificationListModel::ActionsColumn});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildToolbar());
    layout->addWidget(buildFilterRow());
    layout->addWidget(buildCountRow());
    auto* commands = new RowCommands(m_table, m_model, this);
    layout->addWidget(m_table, 1);
    layout->addWidget(new SelectionBar(m_table, m_model, *commands, this));
    m_statusArea = new FeedStatusArea(
        sessions, [](AccountSession& session) -> FeedController& { return session.notifications(); }, 0, m_loadingCard,
        m_autoReload, this);
    layout->addWidget(m_statusArea);

    const auto followRepositories = [this](AccountSession* session) {
        connect(&session->notifications(), &NotificationsViewModel::repositoriesChanged, this,
            &NotificationsTab::updateRepositories);
    };
    for (AccountSession* session : sessions.sessions()) {
        followRepositories(session);
        adoptSettings(session);
    }
    connect(&sessions, &AccountSessions::sessionAdded, this, [this, followRepositories](AccountSession* session) {
        followRepositories(session);
        adoptSettings(session);
    });
    connect(&sessions, &AccountSessions::sessionsChanged, this, &NotificationsTab::updateRepositories);
    connect(
        &m_viewModel, &NotificationsViewModel::selectedRepositoryChanged, this, &NotificationsTab::updateRepositories);
    connect(&m_viewModel, &NotificationsViewModel::textFilterChanged, this, &NotificationsTab::updateFilter);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &NotificationsTab::updateCount);
    updateRepositories();
    updateFilter();
    updateCount();
}

QWidget* NotificationsTab::buildToolbar()
{
    auto* row = new QWidget(this);
    auto* label = new QLabel(tr("Repository"), row);
    m_repositoryPicker = new QComboBox(row);
    m_repositoryPicker->setObjectName(QStringLiteral("repositoryPicker"));
    m_repositoryPicker->setAccessibleName(tr("Repository"));
    m_repositoryPicker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_repositoryPicker->setMinimumContentsLength(18);
    label->setBuddy(m_repositoryPicker);
    auto* resync = FeedBindings::namedButton(tr("Re-sync"), QStringLiteral("resync"), row);
    resync->setToolTip(tr("Sync notifications and pull request statuses (Ctrl+R)"));
    auto* markCompleted
        = FeedBindings::namedButton(tr("Mark Completed Read"), QStringLiteral("markCompletedRead"), row);
    markCompleted->setToolTip(tr("Mark every closed, merged or resolved thread as read"));
    m_autoReload = FeedBindings::autoSyncSwitch(QStringLiteral("autoSync"), row);
    m_accountPicker = new AccountPicker(m_sessions, m_model, row);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(label);
    layout->addWidget(m_repositoryPicker);
    layout->addSpacing(8);
    layout->addWidget(m_accountPicker);
    layout->addSpacing(8);
    layout->addWidget(resync);
    layout->addWidget(markCompleted);
    layout->addSpacing(8);
    layout->addWidget(m_autoReload);
    layout->addStretch();

    connect(m_repositoryPicker, &QComboBox::activated, this,
        [this](int index) { setSelectedRepository(m_repositoryPicker->itemData(index).toString()); });
    const auto resyncAll = [this] {
        for (AccountSession* session : m_sessions.sessions())
            session->notifications().resyncAll();
    };
    connect(resync, &QPushButton::clicked, this, resyncAll);
    FeedBindings::addResyncShortcut(this, resyncAll);
    // It acts on the threads on screen: those of the account picked, or every account's.
    connect(markCompleted, &QPushButton::clicked, this, [this] {
        for (AccountSession* session : m_sessions.sessions()) {
            if (!m_model->shownSession() || m_model->shownSession() == session)
                session->notifications().markCompletedAsRead();
        }
    });
    return row;
}

QWidget* NotificationsTab::buildFilterRow()
{
    m_filterRow = new FilterRow(
        tr("Filter notifications"), tr("Filter notifications..."),
        [this](const QString& token) { return m_viewModel.filterCompletions(token); }, m_viewModel.savedViews(), this);
    connect(m_filterRow, &FilterRow::edited, this, &NotificationsTab::setTextFilter);
    connect(m_filterRow, &FilterRow::clearRequested, this, [this] { setTextFilter(QString()); });
    return m_filterRow;
}

QWidget* NotificationsTab::buildCountRow()
{
    m_countRow = new CountRow(QStringLiteral("notificationCount"), this);
    return m_countRow;
}

void NotificationsTab::setTextFilter(const QString& text)
{
    const AccountTableModel::Batch batch(*m_model);
    for (AccountSession* session : m_sessions.sessions())
        session->notifications().setTextFilter(text);
}

void NotificationsTab::setSelectedRepository(const QString& repository)
{
    const AccountTableModel::Batch batch(*m_model);
    for (AccountSession* session : m_sessions.sessions())
        session->notifications().setSelectedRepository(repository);
}

void NotificationsTab::adoptSettings(AccountSession* session)
{
    NotificationsViewModel& viewModel = session->notifications();
    if (&viewModel == &m_viewModel)
        return;
    viewModel.setSelectedRepository(m_viewModel.selectedRepository());
    viewModel.setTextFilter(m_viewModel.textFilter());
}

void NotificationsTab::updateRepositories()
{
    QStringList choices = m_viewModel.repositories();
    if (m_sessions.hasSeveral()) {
        // Every account's repositories, each once, in the order one account lists them.
        QStringList names;
        for (AccountSession* session : m_sessions.sessions())
            names << session->notifications().repositories().mid(1);
        names.sort(Qt::CaseSensitive);
        names.removeDuplicates();
        choices = QStringList {NotificationRules::allRepositories} + names;
    }
    // A choice whose threads have all gone stays selected (the table is then empty):
    // show it rather than a choice that is not in effect.
    if (!choices.contains(m_viewModel.selectedRepository()))
        choices << m_viewModel.selectedRepository();
    m_repositoryPicker->clear();
    // The controller names the choice of every repository in English; the picker shows it
    // in the window's language.
    for (const QString& choice : std::as_const(choices)) {
        m_repositoryPicker->addItem(
            choice == NotificationRules::allRepositories ? tr("All Repositories") : choice, choice);
    }
    m_repositoryPicker->setCurrentIndex(m_repositoryPicker->findData(m_viewModel.selectedRepository()));
}

void NotificationsTab::updateFilter()
{
    m_filterRow->setFilter(m_viewModel.textFilter(), m_viewModel.filterQuery().hints());
    updateCount();
}

void NotificationsTab::updateCount()
{
    m_countRow->show(tr("Total Notifications: %1").arg(m_model->rowCount()), m_viewModel.textFilter());
}
