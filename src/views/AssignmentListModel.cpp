#include "views/AssignmentListModel.h"

#include "assignments/AssignmentRules.h"
#include "assignments/AssignmentsViewModel.h"
#include "core/Clock.h"
#include "core/DateTexts.h"
#include "views/FeedCells.h"
#include "views/StatusAppearance.h"

namespace {

using FeedCells::Action;
using Name = ColorPalette::Name;

bool namesAPullRequest(const Issue& issue)
{
    return issue.htmlUrl().contains(QStringLiteral("/pull/"));
}

} // namespace

AssignmentListModel::AssignmentListModel(
    AssignmentsViewModel& viewModel, Source source, const Clock& clock, QObject* parent)
    : RecordTableModel(parent)
    , m_viewModel(viewModel)
    , m_source(source)
    , m_clock(clock)
{
    refresh();
    connect(&m_viewModel, &AssignmentsViewModel::issueChanged, this,
        [this](qint64 id) { recordChanged(QString::number(id)); });
    connect(&m_viewModel, &AssignmentsViewModel::newIssueIdsChanged, this,
        [this] { columnChanged(TitleColumn, {FeedCells::IsNewRole}); });
    if (m_source == Source::Table) {
        connect(&m_viewModel, &AssignmentsViewModel::issuesChanged, this, &AssignmentListModel::refresh);
        connect(&m_viewModel, &AssignmentsViewModel::archivedIssuesChanged, this, &AssignmentListModel::refresh);
        connect(&m_viewModel, &AssignmentsViewModel::favoritesChanged, this, &AssignmentListModel::refresh);
        connect(&m_viewModel, &AssignmentsViewModel::showOnlyFavoritesChanged, this, &AssignmentListModel::refresh);
    } else {
        connect(&m_viewModel, &AssignmentsViewModel::archivedIssuesChanged, this, &AssignmentListModel::refresh);
        connect(&m_viewModel, &AssignmentsViewModel::favoritesChanged, this, [this] {
            columnChanged(ActionsColumn, {FeedCells::ActionsRole, Qt::AccessibleTextRole});
        });
    }
}

QList<IssuePtr> AssignmentListModel::currentRows() const
{
    return m_source == Source::Table ? m_viewModel.filteredIssues() : m_viewModel.archivedIssues();
}

void AssignmentListModel::refresh()
{
    QList<IssuePtr> rows = currentRows();
    QStringList ids;
    ids.reserve(rows.size());
    for (const IssuePtr& issue : rows)
        ids << QString::number(issue->id());
    replaceRows(std::move(ids), [this, &rows] { m_rows = std::move(rows); });
}

int AssignmentListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AssignmentListModel::actions(const IssuePtr& issue) const
{
    const bool starred = m_viewModel.isFavorite(issue);
    const bool archived = m_source == Source::Archived;
    const QList<Action> actions {
        Action {QStringLiteral("star"), starred ? QStringLiteral("star.fill") : QStringLiteral("star"),
            starred ? Name::Yellow : Name::Gray,
            starred ? QStringLiteral("Remove from Favorites") : QStringLiteral("Add to Favorites"),
            QKeySequence(Qt::Key_S)},
        Action {QStringLiteral("archive"),
            archived ? QStringLiteral("arrowshape.turn.up.left") : QStringLiteral("checkmark.circle"), std::nullopt,
            archived ? QStringLiteral("Unarchive") : QStringLiteral("Archive"), QKeySequence(Qt::Key_E)},
    };
    return QVariant::fromValue(actions);
}

QVariant AssignmentListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const IssuePtr& record = m_rows.at(index.row());
    const Issue& issue = *record;
    const int column = index.column();
    const bool pullRequest = namesAPullRequest(issue);

    switch (role) {
    case FeedCells::RecordIdRole:
        return idAt(index.row());
    case FeedCells::IsNewRole:
        return m_viewModel.newIssueIds().contains(issue.id());
    case FeedCells::KindRole:
        switch (column) {
        case ActionsColumn:
            return QVariant::fromValue(FeedCells::Kind::Actions);
        case TitleColumn:
            return QVariant::fromValue(FeedCells::Kind::Link);
        case TypeColumn:
            return QVariant::fromValue(FeedCells::Kind::Badge);
        case StatusColumn:
            return QVariant::fromValue(FeedCells::Kind::Status);
        default:
            return QVariant::fromValue(FeedCells::Kind::Text);
        }
    case FeedCells::ActionsRole:
        return column == ActionsColumn ? actions(record) : QVariant();
    case FeedCells::LinkRole: {
        const QUrl url(issue.htmlUrl(), QUrl::StrictMode);
        return column == TitleColumn && url.isValid() && !url.isRelative() ? url : QVariant();
    }
    case FeedCells::BadgeRole:
        return column == TypeColumn
            ? QVariant::fromValue(pullRequest ? FeedCells::Badge {QStringLiteral("PR"), Name::Blue}
                                              : FeedCells::Badge {QStringLiteral("Issue"), Name::Green})
            : QVariant();
    case FeedCells::GlyphsRole:
        return column == StatusColumn ? QVariant::fromValue(QList<Glyph> {
                   StatusAppearance::stateGlyph(issue.displayState(), AssignmentRules::isPullRequest(issue))})
                                      : QVariant();
    case Qt::TextAlignmentRole:
        return int((column == ActionsColumn ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (column == TitleColumn)
            return issue.title();
        if (column == UpdatedAtColumn) {
            const QDateTime moment = QDateTime::fromString(issue.updatedAt(), Qt::ISODateWithMs);
            return moment.isValid() ? mediumDateTimeText(moment) : issue.updatedAt();
        }
        return {};
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        break;
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
        return issue.title();
    case RepositoryColumn:
        return issue.repository() ? issue.repository()->fullName() : AssignmentRules::unknownRepository;
    case TypeColumn:
        if (accessible)
            return pullRequest ? QStringLiteral("pull request") : QStringLiteral("issue");
        return pullRequest ? QStringLiteral("PR") : QStringLiteral("Issue");
    case UpdatedAtColumn:
        return relativeDateTimeText(issue.updatedAt(), m_clock.now());
    case StatusColumn:
        return issue.displayState();
    default:
        return {};
    }
}

QVariant AssignmentListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ActionsColumn:
        // The favourites filter button sits over this header.
        return QString();
    case TitleColumn:
        return QStringLiteral("Title");
    case RepositoryColumn:
        return QStringLiteral("Repository");
    case TypeColumn:
        return QStringLiteral("Type");
    case UpdatedAtColumn:
        return QStringLiteral("Updated At");
    case StatusColumn:
        return QStringLiteral("Status");
    default:
        return {};
    }
}
