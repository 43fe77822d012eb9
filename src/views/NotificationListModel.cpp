#include "views/NotificationListModel.h"

#include "core/Clock.h"
#include "core/DateTexts.h"
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
    : RecordTableModel(parent)
    , m_viewModel(viewModel)
    , m_source(source)
    , m_endpoints(endpoints)
    , m_clock(clock)
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

int NotificationListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant NotificationListModel::actions(const NotificationPtr& notification) const
{
    QList<Action> actions;
    if (m_source == Source::Favorites) {
        actions << Action {QStringLiteral("star"), QStringLiteral("star.fill"), Name::Yellow,
            QStringLiteral("Remove from Favorites"), QKeySequence(Qt::Key_S)};
        return QVariant::fromValue(actions);
    }
    const bool starred = m_viewModel.isFavorite(notification);
    actions << Action {QStringLiteral("markAsRead"), QStringLiteral("checkmark.circle"), std::nullopt,
        QStringLiteral("Mark as Read"), QKeySequence(Qt::Key_E)}
            << Action {QStringLiteral("star"), starred ? QStringLiteral("star.fill") : QStringLiteral("star"),
                   starred ? Name::Yellow : Name::Gray,
                   starred ? QStringLiteral("Remove from Favorites") : QStringLiteral("Add to Favorites"),
                   QKeySequence(Qt::Key_S)}
            << Action {QStringLiteral("stopWatching"), QStringLiteral("eye.slash"), std::nullopt,
                   QStringLiteral("Stop Watching"), QKeySequence(Qt::SHIFT | Qt::Key_M)};
    return QVariant::fromValue(actions);
}

QVariant NotificationListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const NotificationPtr& record = m_rows.at(index.row());
    const Notification& notification = *record;
    const Subject& subject = notification.subject();
    const int column = index.column();

    switch (role) {
    case FeedCells::RecordIdRole:
        return notification.id();
    case FeedCells::IsNewRole:
        return m_source == Source::Filtered && m_viewModel.newNotificationIds().contains(notification.id());
    case FeedCells::KindRole:
        switch (column) {
        case ActionsColumn:
            return QVariant::fromValue(FeedCells::Kind::Actions);
        case TitleColumn:
            return QVariant::fromValue(FeedCells::Kind::Link);
        case StatusColumn:
            return QVariant::fromValue(FeedCells::Kind::Status);
        default:
            return QVariant::fromValue(FeedCells::Kind::Text);
        }
    case FeedCells::ActionsRole:
        return column == ActionsColumn ? actions(record) : QVariant();
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
    case Qt::TextAlignmentRole:
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        break;
    case Qt::ToolTipRole:
        if (column == TitleColumn)
            return subject.title();
        if (column == UpdatedAtColumn) {
            const QDateTime moment = QDateTime::fromString(notification.updatedAt(), Qt::ISODateWithMs);
            return moment.isValid() ? mediumDateTimeText(moment) : notification.updatedAt();
        }
        return {};
    default:
        return {};
    }

    const bool accessible = role == Qt::AccessibleTextRole;
    switch (column) {
    case ActionsColumn: {
        QStringList labels;
        for (const Action& action : actions(record).value<QList<Action>>())
            labels << action.label;
        return accessible ? labels.join(QStringLiteral(", ")) : QString();
    }
    case TitleColumn:
        return subject.title();
    case ReasonColumn:
        return StatusAppearance::reasonText(notification.reason());
    case RepositoryColumn:
        return notification.repository().fullName();
    case UpdatedAtColumn:
        return relativeDateTimeText(notification.updatedAt(), m_clock.now());
    case StatusColumn:
        if (accessible)
            return StatusAppearance::notificationStatusWords(notification);
        return subject.state() ? *subject.state() : QStringLiteral("?");
    default:
        return {};
    }
}

QVariant NotificationListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ActionsColumn:
        return QStringLiteral("Actions");
    case TitleColumn:
        return QStringLiteral("Title");
    case ReasonColumn:
        return QStringLiteral("Reason");
    case RepositoryColumn:
        return QStringLiteral("Repository");
    case UpdatedAtColumn:
        return QStringLiteral("Updated At");
    case StatusColumn:
        return QStringLiteral("Status");
    default:
        return {};
    }
}
