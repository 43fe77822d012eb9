#include "views/NotificationListModel.h"

#include "desktop/AccountSessions.h"
#include "notifications/NotificationRules.h"
#include "notifications/NotificationsViewModel.h"
#include "views/FeedCells.h"
#include "views/StatusAppearance.h"

#include <functional>

NotificationListModel::NotificationListModel(
    AccountSessions& sessions, Source source, const Clock& clock, QObject* parent)
    : AccountTableModel(
        {
            {tr("Actions"), FeedCells::Kind::Actions},
            {tr("Title"), FeedCells::Kind::Link},
            {tr("Reason"), FeedCells::Kind::Text},
            {tr("Repository"), FeedCells::Kind::Text},
            {tr("Updated At"), FeedCells::Kind::Time},
            {tr("Status"), FeedCells::Kind::Status},
        },
        sessions, clock, parent)
    , m_source(source)
{
    addRowActions();
    followAccounts();
}

void NotificationListModel::follow(AccountSession& session)
{
    NotificationsViewModel& viewModel = session.notifications();
    // A query on what a status refresh or a star changes may take the row in or out.
    connect(&viewModel, &NotificationsViewModel::notificationChanged, this, [this, &session](const QString& id) {
        if (filtersOn(QueryField::State | QueryField::CI | QueryField::Review))
            update();
        else
            recordChanged(rowId(&session, id));
    });
    connect(&viewModel, &NotificationsViewModel::favoritesChanged, this, [this] {
        if (m_source == Source::Favorites || filtersOn(QueryField::Starred))
            update();
        else
            columnChanged(ActionsColumn, {FeedCells::ActionsRole, Qt::AccessibleTextRole});
    });
    connect(&viewModel, &NotificationsViewModel::newNotificationIdsChanged, this,
        [this] { columnChanged(TitleColumn, {FeedCells::IsNewRole}); });
    connect(&viewModel, &NotificationsViewModel::canMarkAsDoneChanged, this, [this] {
        columnChanged(ActionsColumn, {FeedCells::ActionsRole, Qt::AccessibleTextRole});
    });
    connect(&viewModel, &NotificationsViewModel::readElsewhereIdsChanged, this, [this] {
        for (int column = 0; column < ColumnCount; ++column)
            columnChanged(column, {FeedCells::DimmedRole, Qt::ToolTipRole, Qt::AccessibleTextRole});
    });
    if (m_source == Source::Filtered) {
        connect(&viewModel, &NotificationsViewModel::notificationsChanged, this, &NotificationListModel::update);
        connect(&viewModel, &NotificationsViewModel::textFilterChanged, this, &NotificationListModel::update);
        connect(&viewModel, &NotificationsViewModel::selectedRepositoryChanged, this, &NotificationListModel::update);
    }
}

NotificationsViewModel& NotificationListModel::viewModelAt(int row) const
{
    return sessionOf(row).notifications();
}

bool NotificationListModel::filtersOn(QueryFields fields) const
{
    // Every account's feed follows the same query.
    return m_source == Source::Filtered && (sessions().first().notifications().filterQuery().fields() & fields);
}

void NotificationListModel::refresh()
{
    replaceAccountRows(
        m_rows, m_source == Source::Filtered ? Merge::NewestFirst : Merge::AccountByAccount,
        [this](AccountSession& session) {
            NotificationsViewModel& viewModel = session.notifications();
            return m_source == Source::Filtered ? viewModel.filteredNotifications() : viewModel.favorites();
        },
        [](const Notification& notification) { return notification.id(); });
}

void NotificationListModel::addRowActions()
{
    // std::invoke rather than `.*`: GCC's UndefinedBehaviorSanitizer takes the object of a
    // pointer-to-member call made in a nested lambda for another one.
    const auto onRow = [this](void (NotificationsViewModel::*operation)(const NotificationPtr&)) {
        return [this, operation](int row) {
            if (const NotificationPtr notification = notificationAt(row))
                std::invoke(operation, viewModelAt(row), notification);
        };
    };
    const auto onRows = [this](void (NotificationsViewModel::*operation)(const QList<NotificationPtr>&)) {
        return [this, operation](const QList<int>& rows) {
            for (const auto& [session, own] : rowsByAccount(rows))
                std::invoke(operation, session->notifications(), notificationsAt(own));
        };
    };
    const auto setFavorite = [this](const QList<int>& rows, bool favorite) {
        for (const auto& [session, own] : rowsByAccount(rows))
            session->notifications().setFavorite(notificationsAt(own), favorite);
    };
    const auto isFavorite = [this](int row) {
        const NotificationPtr notification = notificationAt(row);
        return notification && viewModelAt(row).isFavorite(notification);
    };
    if (m_source == Source::Favorites) {
        addRowAction(RowActions::star(isFavorite, onRow(&NotificationsViewModel::toggleFavorite), setFavorite));
        return;
    }
    addRowAction({.id = QStringLiteral("markAsRead"),
        .shortcut = QKeySequence(Qt::Key_E),
        .face = {QStringLiteral("checkmark.circle"), std::nullopt, tr("Mark as Read"), tr("Mark as Read")},
        .run = onRow(&NotificationsViewModel::markAsRead),
        .runOnRows = onRows(&NotificationsViewModel::markAsRead)});
    // Offered only where the row's server can mark threads done.
    addRowAction({.id = QStringLiteral("markAsDone"),
        .shortcut = QKeySequence(Qt::Key_D),
        .face = {QStringLiteral("checkmark"), std::nullopt, tr("Mark as Done"), tr("Mark as Done")},
        .isAvailable = [this](int row) { return sessionAt(row) && viewModelAt(row).canMarkAsDone(); },
        .run = onRow(&NotificationsViewModel::markAsDone),
        .runOnRows = onRows(&NotificationsViewModel::markAsDone)});
    addRowAction(RowActions::star(isFavorite, onRow(&NotificationsViewModel::toggleFavorite), setFavorite));
    addRowAction({.id = QStringLiteral("stopWatching"),
        .shortcut = QKeySequence(Qt::SHIFT | Qt::Key_M),
        .face = {QStringLiteral("eye.slash"), std::nullopt, tr("Stop Watching"), tr("Stop Watching")},
        .run = onRow(&NotificationsViewModel::stopWatching),
        .runOnRows = onRows(&NotificationsViewModel::stopWatching)});
}

QList<NotificationPtr> NotificationListModel::notificationsAt(const QList<int>& rows) const
{
    QList<NotificationPtr> notifications;
    notifications.reserve(rows.size());
    for (int row : rows) {
        if (const NotificationPtr notification = notificationAt(row))
            notifications << notification;
    }
    return notifications;
}

QVariant NotificationListModel::cellData(int row, int column, int role) const
{
    if (column == AccountColumn)
        return accountCellData(row, role);
    const NotificationPtr& record = m_rows.at(row);
    const Notification& notification = *record;
    const Subject& subject = notification.subject();
    const NotificationsViewModel& viewModel = viewModelAt(row);
    const bool readElsewhere = viewModel.isReadElsewhere(notification);
    switch (role) {
    case FeedCells::DimmedRole:
        return readElsewhere;
    case Qt::ToolTipRole:
        if (!readElsewhere || column == UpdatedAtColumn)
            return {};
        return column == TitleColumn ? subject.title() + u'\n' + tr("Read on GitHub") : tr("Read on GitHub");
    case FeedCells::IsNewRole:
        return m_source == Source::Filtered && viewModel.newNotificationIds().contains(notification.id());
    case FeedCells::TimestampRole:
        return notification.updatedAt();
    case FeedCells::LinkRole:
        if (column == TitleColumn) {
            if (const std::optional<QUrl> url
                = NotificationRules::webURL(notification, sessionOf(row).environment().endpoints))
                return *url;
        }
        return {};
    case FeedCells::EmojiRole:
        return column == ReasonColumn ? StatusAppearance::reasonSymbol(notification.reason()) : QVariant();
    case FeedCells::GlyphsRole:
        return column == StatusColumn ? QVariant::fromValue(StatusAppearance::notificationGlyphs(notification))
                                      : QVariant();
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        break;
    default:
        return {};
    }
    switch (column) {
    case TitleColumn:
        if (readElsewhere && role == Qt::AccessibleTextRole)
            return QString(subject.title() + QStringLiteral(", ") + tr("Read on GitHub"));
        return subject.title();
    case ReasonColumn:
        return StatusAppearance::reasonText(notification.reason());
    case RepositoryColumn:
        return notification.repository().fullName();
    case StatusColumn:
        if (role == Qt::AccessibleTextRole)
            return StatusAppearance::notificationStatusWords(notification);
        return subject.state() ? *subject.state() : tr("?");
    default:
        return {};
    }
}
