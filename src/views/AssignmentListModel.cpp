#include "views/AssignmentListModel.h"

#include "assignments/AssignmentRules.h"
#include "assignments/AssignmentsViewModel.h"
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
    : RecordTableModel(
        {
            // The favourites filter button sits over this header.
            {QString(), FeedCells::Kind::Actions, Qt::AlignHCenter},
            {QStringLiteral("Title"), FeedCells::Kind::Link},
            {QStringLiteral("Repository"), FeedCells::Kind::Text},
            {QStringLiteral("Type"), FeedCells::Kind::Badge},
            {QStringLiteral("Updated At"), FeedCells::Kind::Time},
            {QStringLiteral("Status"), FeedCells::Kind::Status},
        },
        clock, parent)
    , m_viewModel(viewModel)
    , m_source(source)
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

QVariant AssignmentListModel::actions(const IssuePtr& issue) const
{
    const bool archived = m_source == Source::Archived;
    const QList<Action> actions {
        FeedCells::starAction(m_viewModel.isFavorite(issue)),
        Action {QStringLiteral("archive"),
            archived ? QStringLiteral("arrowshape.turn.up.left") : QStringLiteral("checkmark.circle"), std::nullopt,
            archived ? QStringLiteral("Unarchive") : QStringLiteral("Archive"), QKeySequence(Qt::Key_E)},
    };
    return QVariant::fromValue(actions);
}

QVariant AssignmentListModel::cellData(int row, int column, int role) const
{
    const IssuePtr& record = m_rows.at(row);
    const Issue& issue = *record;
    const bool pullRequest = namesAPullRequest(issue);
    switch (role) {
    case FeedCells::IsNewRole:
        return m_viewModel.newIssueIds().contains(issue.id());
    case FeedCells::ActionsRole:
        return column == ActionsColumn ? actions(record) : QVariant();
    case FeedCells::TimestampRole:
        return issue.updatedAt();
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
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        break;
    default:
        return {};
    }
    switch (column) {
    case TitleColumn:
        return issue.title();
    case RepositoryColumn:
        return issue.repository() ? issue.repository()->fullName() : AssignmentRules::unknownRepository;
    case TypeColumn:
        if (role == Qt::AccessibleTextRole)
            return pullRequest ? QStringLiteral("pull request") : QStringLiteral("issue");
        return pullRequest ? QStringLiteral("PR") : QStringLiteral("Issue");
    case StatusColumn:
        return issue.displayState();
    default:
        return {};
    }
}
