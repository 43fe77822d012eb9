#include "views/NotificationListModel.h"

#include "notifications/NotificationRules.h"
#include "notifications/NotificationsViewModel.h"
#include "views/FeedCells.h"
#include "views/StatusAppearance.h"

namespace {

using FeedCells::Action;
using Name = ColorPalette::Name;

QStringList idsOf(const QList<NotificationPtr>& rows)
{
    QStringList ids;
    ids.reserve(rows.size());
    for (const NotificationPtr& row : rows)
        ids << row->id();
    return ids;
}

} // namespace

NotificationListModel::NotificationListModel(NotificationsViewModel& viewModel, Source source,
    const GitHubEndpoints& endpoints, const Clock& clock, QObject* parent)
    : RecordTableModel(
        {
            {QStringLiteral("Actions"), FeedCells::Kind::Actions},
            {QStringLiteral("Title"), FeedCells::Kind::Link},
            {QStringLiteral("Reason"), FeedCells::Kind::Text},
            {QStringLiteral("Repository"), FeedCells::Kind::Text},
            {QStringLiteral("Updated At"), FeedCells::Kind::Time},
            {QStringLiteral("Status"), FeedCells::Kind::Status},
        },
        clock, parent)
    , m_viewModel(viewModel)
    , m_source(source)
    , m_endpoints(endpoints)
{
    refresh();
    connect(&m_viewModel, &NotificationsViewModel::notificationChanged, this, &NotificationListModel::recordChanged);
    connect(&m_viewModel, &NotificationsViewModel::favoritesChanged, this, [this] {
        if (m_source == Source::Favorites)
            refresh();
        else
            columnChanged(ActionsColumn, {FeedCells::ActionsRole, Qt::AccessibleTextRole});
    });
    connect(&m_viewModel, &NotificationsViewModel::newNotificationIdsChanged, this,
        [this] { columnChanged(TitleColumn, {FeedCells::IsNewRole}); });
    connect(&m_viewModel, &NotificationsViewModel::readElsewhereIdsChanged, this, [this] {
        for (int column = 0; column < ColumnCount; ++column)
            columnChanged(column, {FeedCells::DimmedRole, Qt::ToolTipRole, Qt::AccessibleTextRole});
    });
    if (m_source == Source::Filtered) {
        connect(&m_viewModel, &NotificationsViewModel::notificationsChanged, this, &NotificationListModel::refresh);
        connect(&m_viewModel, &NotificationsViewModel::textFilterChanged, this, &NotificationListModel::refresh);
        connect(
            &m_viewModel, &NotificationsViewModel::selectedRepositoryChanged, this, &NotificationListModel::refresh);
    }
}

QList<NotificationPtr> NotificationListModel::currentRows() const
{
    return m_source == Source::Filtered ? m_viewModel.filteredNotifications() : m_viewModel.favorites();
}

void NotificationListModel::refresh()
{
    QList<NotificationPtr> rows = currentRows();
    replaceRows(idsOf(rows), [this, &rows] { m_rows = std::move(rows); });
}

QVariant NotificationListModel::actions(const NotificationPtr& notification) const
{
    QList<Action> actions;
    if (m_source == Source::Favorites) {
        actions << FeedCells::starAction(true);
        return QVariant::fromValue(actions);
    }
    actions << Action {QStringLiteral("markAsRead"), QStringLiteral("checkmark.circle"), std::nullopt,
        QStringLiteral("Mark as Read"), QKeySequence(Qt::Key_E)}
            << FeedCells::starAction(m_viewModel.isFavorite(notification))
            << Action {QStringLiteral("stopWatching"), QStringLiteral("eye.slash"), std::nullopt,
                   QStringLiteral("Stop Watching"), QKeySequence(Qt::SHIFT | Qt::Key_M)};
    return QVariant::fromValue(actions);
}

QVariant NotificationListModel::cellData(int row, int column, int role) const
{
    const NotificationPtr& record = m_rows.at(row);
    const Notification& notification = *record;
    const Subject& subject = notification.subject();
    const bool readElsewhere = m_viewModel.isReadElsewhere(notification);
    switch (role) {
    case FeedCells::DimmedRole:
        return readElsewhere;
    case Qt::ToolTipRole:
        if (!readElsewhere || column == UpdatedAtColumn)
            return {};
        return column == TitleColumn ? subject.title() + u'\n' + tr("Read on GitHub") : tr("Read on GitHub");
    case FeedCells::IsNewRole:
        return m_source == Source::Filtered && m_viewModel.newNotificationIds().contains(notification.id());
    case FeedCells::ActionsRole:
        return column == ActionsColumn ? actions(record) : QVariant();
    case FeedCells::TimestampRole:
        return notification.updatedAt();
    case FeedCells::LinkRole:
        if (column == TitleColumn) {
            if (const std::optional<QUrl> url = NotificationRules::webURL(notification, m_endpoints))
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
        return subject.state() ? *subject.state() : QStringLiteral("?");
    default:
        return {};
    }
}
