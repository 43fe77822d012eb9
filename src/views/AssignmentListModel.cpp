#include "views/AssignmentListModel.h"

#include "assignments/AssignmentRules.h"
#include "assignments/AssignmentsViewModel.h"
#include "desktop/AccountSessions.h"
#include "views/FeedCells.h"
#include "views/StatusAppearance.h"

#include <algorithm>
#include <functional>

namespace {

using Name = ColorPalette::Name;

bool namesAPullRequest(const Issue& issue)
{
    return issue.htmlUrl().contains(QStringLiteral("/pull/"));
}

} // namespace

AssignmentListModel::AssignmentListModel(AccountSessions& sessions, Source source, const Clock& clock, QObject* parent)
    : AccountTableModel(
        {
            // The favourites filter button sits over this header.
            {QString(), FeedCells::Kind::Actions, Qt::AlignHCenter},
            {tr("Title"), FeedCells::Kind::Link},
            {tr("Repository"), FeedCells::Kind::Text},
            {tr("Type"), FeedCells::Kind::Badge},
            {tr("Updated At"), FeedCells::Kind::Time},
            {tr("Status"), FeedCells::Kind::Status},
        },
        sessions, clock, parent)
    , m_source(source)
{
    addRowActions();
    followAccounts();
}

void AssignmentListModel::follow(AccountSession& session)
{
    AssignmentsViewModel& viewModel = session.assignments();
    // A re-read item may change state, which takes it in or out of a query on it.
    connect(&viewModel, &AssignmentsViewModel::issueChanged, this, [this, &session, &viewModel](qint64 id) {
        if (m_source == Source::Table && viewModel.filterQuery().fields().testFlag(QueryField::State))
            update();
        else
            recordChanged(rowId(&session, QString::number(id)));
    });
    connect(&viewModel, &AssignmentsViewModel::newIssueIdsChanged, this,
        [this] { columnChanged(TitleColumn, {FeedCells::IsNewRole}); });
    if (m_source == Source::Table) {
        connect(&viewModel, &AssignmentsViewModel::issuesChanged, this, &AssignmentListModel::update);
        connect(&viewModel, &AssignmentsViewModel::archivedIssuesChanged, this, &AssignmentListModel::update);
        connect(&viewModel, &AssignmentsViewModel::favoritesChanged, this, &AssignmentListModel::update);
        connect(&viewModel, &AssignmentsViewModel::showOnlyFavoritesChanged, this, &AssignmentListModel::update);
        connect(&viewModel, &AssignmentsViewModel::textFilterChanged, this, &AssignmentListModel::update);
    } else {
        connect(&viewModel, &AssignmentsViewModel::archivedIssuesChanged, this, &AssignmentListModel::update);
        connect(&viewModel, &AssignmentsViewModel::favoritesChanged, this, [this] {
            columnChanged(ActionsColumn, {FeedCells::ActionsRole, Qt::AccessibleTextRole});
        });
    }
}

AssignmentsViewModel& AssignmentListModel::viewModelAt(int row) const
{
    return sessionOf(row).assignments();
}

void AssignmentListModel::refresh()
{
    replaceAccountRows(
        m_rows, m_source == Source::Table ? Merge::NewestFirst : Merge::AccountByAccount,
        [this](AccountSession& session) {
            AssignmentsViewModel& viewModel = session.assignments();
            return m_source == Source::Table ? viewModel.filteredIssues() : viewModel.archivedIssues();
        },
        [](const Issue& issue) { return QString::number(issue.id()); });
}

void AssignmentListModel::addRowActions()
{
    // std::invoke rather than `.*`: GCC's UndefinedBehaviorSanitizer takes the object of a
    // pointer-to-member call made in a nested lambda for another one.
    const auto holds = [this](bool (AssignmentsViewModel::*test)(const IssuePtr&) const) {
        return [this, test](int row) {
            const IssuePtr issue = issueAt(row);
            return issue && std::invoke(test, viewModelAt(row), issue);
        };
    };
    const auto onRow = [this](void (AssignmentsViewModel::*operation)(const IssuePtr&)) {
        return [this, operation](int row) {
            if (const IssuePtr issue = issueAt(row))
                std::invoke(operation, viewModelAt(row), issue);
        };
    };
    addRowAction(RowActions::star(holds(&AssignmentsViewModel::isFavorite),
        onRow(&AssignmentsViewModel::toggleFavorite), [this](const QList<int>& rows, bool favorite) {
            for (const auto& [session, own] : rowsByAccount(rows))
                session->assignments().setFavorite(issuesAt(own), favorite);
        }));
    addRowAction({.id = QStringLiteral("archive"),
        .shortcut = QKeySequence(Qt::Key_E),
        .face = {QStringLiteral("checkmark.circle"), std::nullopt, tr("Archive"), tr("Archive")},
        .onFace = {QStringLiteral("arrowshape.turn.up.left"), std::nullopt, tr("Unarchive"), tr("Unarchive")},
        .isOn = holds(&AssignmentsViewModel::isArchived),
        .run = onRow(&AssignmentsViewModel::toggleArchived),
        // A selection of archived items comes back; any other is archived.
        .runOnRows = [this, isArchived = holds(&AssignmentsViewModel::isArchived)](const QList<int>& rows) {
            const bool allArchived = std::all_of(rows.begin(), rows.end(), isArchived);
            for (const auto& [session, own] : rowsByAccount(rows)) {
                if (!allArchived) {
                    session->assignments().archiveIssues(issuesAt(own));
                    continue;
                }
                for (const IssuePtr& issue : issuesAt(own))
                    session->assignments().unarchiveIssue(issue);
            }
        }});
}

QList<IssuePtr> AssignmentListModel::issuesAt(const QList<int>& rows) const
{
    QList<IssuePtr> issues;
    issues.reserve(rows.size());
    for (int row : rows) {
        if (const IssuePtr issue = issueAt(row))
            issues << issue;
    }
    return issues;
}

QVariant AssignmentListModel::cellData(int row, int column, int role) const
{
    if (column == AccountColumn)
        return accountCellData(row, role);
    const IssuePtr& record = m_rows.at(row);
    const Issue& issue = *record;
    const bool pullRequest = namesAPullRequest(issue);
    switch (role) {
    case FeedCells::IsNewRole:
        return viewModelAt(row).newIssueIds().contains(issue.id());
    case FeedCells::TimestampRole:
        return issue.updatedAt();
    case FeedCells::LinkRole: {
        const QUrl url(issue.htmlUrl(), QUrl::StrictMode);
        return column == TitleColumn && url.isValid() && !url.isRelative() ? url : QVariant();
    }
    case FeedCells::BadgeRole:
        return column == TypeColumn ? QVariant::fromValue(
                   pullRequest ? FeedCells::Badge {tr("PR"), Name::Blue} : FeedCells::Badge {tr("Issue"), Name::Green})
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
        return AssignmentRules::repositoryOf(issue);
    case TypeColumn:
        if (role == Qt::AccessibleTextRole)
            return pullRequest ? tr("pull request") : tr("issue");
        return pullRequest ? tr("PR") : tr("Issue");
    case StatusColumn:
        return issue.displayState();
    default:
        return {};
    }
}
