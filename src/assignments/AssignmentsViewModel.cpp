#include "assignments/AssignmentsViewModel.h"

#include "assignments/AssignmentRules.h"
#include "core/Console.h"
#include "core/Scheduler.h"
#include "feeds/QueryVocabulary.h"
#include "github/RequestError.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

using namespace std::chrono_literals;

namespace {

constexpr auto statusRefreshDelay = 500ms;
constexpr auto highlightDuration = 3s;
constexpr auto toastDuration = 3s;

} // namespace

std::shared_ptr<AssignmentsViewModel> AssignmentsViewModel::create(const Environment& environment, StartUp startUp)
{
    std::shared_ptr<AssignmentsViewModel> viewModel(new AssignmentsViewModel(environment));
    if (startUp == StartUp::Now)
        viewModel->start();
    return viewModel;
}

AssignmentsViewModel::AssignmentsViewModel(const Environment& environment)
    : FeedController(environment, PreferenceKeys::autoReloadAssignments, SavedViews::assignmentViews())
    , m_apiService(environment)
    , m_persistenceService(environment)
{ }

AssignmentsViewModel::~AssignmentsViewModel()
{
    flushPendingSaves();
    m_cancellables.cancelAll();
}

void AssignmentsViewModel::saveCache()
{
    m_persistenceService.save(m_issues, PreferenceKeys::issuesCacheKey);
}

void AssignmentsViewModel::autoReloadTriggered()
{
    m_environment.console->print(QStringLiteral(">>> Assignments auto-reload: Triggering scheduled sync"));
    syncAssignments();
}

void AssignmentsViewModel::startUp()
{
    loadFromCache();
    syncAssignments();
    m_environment.console->print(
        QStringLiteral("Loaded ") + QString::number(m_issues.size()) + QStringLiteral(" issues from cache."));
}

void AssignmentsViewModel::loadFromCache()
{
    // The stars and the archive first: the table's rows depend on them.
    m_favorites = m_persistenceService.loadIssues(PreferenceKeys::issueFavoritesKey).value_or(QList<IssuePtr> {});
    Q_EMIT favoritesChanged();
    m_archivedIssues = m_persistenceService.loadIssues(PreferenceKeys::archivedIssuesKey).value_or(QList<IssuePtr> {});
    Q_EMIT archivedIssuesChanged();
    setIssues(m_persistenceService.loadIssues(PreferenceKeys::issuesCacheKey).value_or(QList<IssuePtr> {}));
    setAutoReload(m_environment.preferences->boolValue(PreferenceKeys::autoReloadAssignments));
}

void AssignmentsViewModel::syncAssignments()
{
    m_environment.console->print(QStringLiteral(">>> Fetching assignments..."));
    const QDateTime since = m_persistenceService.getLastPullDate(true);
    setLoading(true);
    setStatusMessage(QStringLiteral("Syncing assignments") + at() + QStringLiteral("..."));

    // The next sync asks from the moment this one asked, so that an item changed while
    // the reply was on its way is fetched again rather than skipped.
    const QDateTime pullMoment = m_environment.scheduler->now();
    m_cancellables.add(m_apiService.fetchAssignedIssues(since, 1).subscribe(
        [this, pullMoment](const QList<IssuePtr>& fetched) {
            processFetchedIssues(fetched, pullMoment);
            scheduleStatusRefresh();
            setLoading(false);
            setStatusMessage(QStringLiteral("Sync completed") + at());
            Q_EMIT syncFinished(SyncOutcome::Succeeded);
        },
        [this](const RequestError& error) {
            setLoading(false);
            setStatusMessage(QStringLiteral("Sync failed") + at());
            const bool signInNeeded = needsSignIn(error);
            if (signInNeeded)
                setNeedsToken(true);
            m_environment.console->print(QStringLiteral("Error fetching assignments: ") + error.localizedDescription());
            Q_EMIT syncFinished(signInNeeded ? SyncOutcome::NeedsSignIn : SyncOutcome::Failed);
        }));
}

void AssignmentsViewModel::processFetchedIssues(const QList<IssuePtr>& fetched, const QDateTime& pullMoment)
{
    AssignmentRules::Merge merge = AssignmentRules::merge(m_issues, fetched);
    setNewIssueIds(std::move(merge.newIds));
    setIssues(std::move(merge.merged));
    saveCacheSoon();
    m_persistenceService.setLastPullDate(pullMoment, true);

    m_environment.scheduler->singleShot(
        highlightDuration, nullptr, [self = shared_from_this()] { self->setNewIssueIds({}); });

    const QString count = QString::number(fetched.size());
    m_environment.console->print(QStringLiteral("Processed ") + count + QStringLiteral(" new assignments"));
    setStatusMessage(QStringLiteral("Synced ") + count + QStringLiteral(" assignments") + at());
}

void AssignmentsViewModel::scheduleStatusRefresh()
{
    m_environment.scheduler->singleShot(
        statusRefreshDelay, nullptr, [self = shared_from_this()] { self->refreshAssignmentStatuses(); });
}

void AssignmentsViewModel::refreshAssignmentStatuses()
{
    m_environment.console->print(QStringLiteral(">>> Refreshing assignment statuses..."));
    Q_EMIT statusRefreshStarted();
    if (m_issues.isEmpty()) {
        setStatusMessage(QStringLiteral("No assignments found to refresh") + at());
        setLoading(false);
        return;
    }
    setLoading(true);
    setStatusMessage(QStringLiteral("Refreshing assignment statuses") + at() + QStringLiteral("..."));
    refreshEveryItem([this](qsizetype total) {
        setStatusMessage(
            QStringLiteral("Refreshed ") + QString::number(total) + QStringLiteral(" assignment statuses") + at());
        setLoading(false);
    });
}

void AssignmentsViewModel::resyncAll()
{
    m_environment.console->print(QStringLiteral(">>> Re-syncing all data (assignments + statuses)..."));
    setLoading(true);
    setStatusMessage(QStringLiteral("Re-syncing assignments and statuses") + at() + QStringLiteral("..."));
    if (m_issues.isEmpty()) {
        syncAssignments();
        return;
    }
    m_environment.console->print(QStringLiteral(">>> Refreshing existing assignment statuses..."));
    refreshEveryItem([this](qsizetype total) {
        setStatusMessage(
            QStringLiteral("Refreshed ") + QString::number(total) + QStringLiteral(" assignment statuses") + at());
        syncAssignments();
    });
}

void AssignmentsViewModel::refreshEveryItem(std::function<void(qsizetype)> finished)
{
    // Shared by this run's handlers only; an overlapping run keeps its own count.
    struct Run
    {
        qsizetype done = 0;
        qsizetype total = 0;
        std::function<void(qsizetype)> finished;
    };
    auto run = std::make_shared<Run>(Run {0, m_issues.size(), std::move(finished)});
    const auto itemDone = [run] {
        if (++run->done == run->total)
            run->finished(run->total);
    };
    for (const IssuePtr& issue : QList<IssuePtr>(m_issues))
        refreshItemStatus(issue, itemDone);
}

void AssignmentsViewModel::refreshItemStatus(const IssuePtr& issue, const std::function<void()>& done)
{
    const std::optional<QUrl> url = AssignmentRules::apiURL(issue->htmlUrl(), m_environment.endpoints);
    if (!url) {
        done();
        return;
    }
    const QString urlText = url->toString(QUrl::FullyEncoded);

    if (!AssignmentRules::isPullRequest(*issue)) {
        m_cancellables.add(
            m_apiService.fetchIssue(urlText, RequestKind::Status)
                .subscribe(
                    [this, done](const IssuePtr& fetched) {
                        applyFetchedIssue(fetched);
                        done();
                    },
                    [this, done](const RequestError& error) {
                        m_environment.console->print(
                            QStringLiteral("Error refreshing assignment status: ") + error.localizedDescription());
                        statusRequestFailed(error);
                        done();
                    }));
        return;
    }

    m_cancellables.add(m_apiService.fetchPullRequestDetails(urlText).subscribe(
        [this, issue, done](const PullRequestDetails& details) {
            applyPullRequestDetails(issue, details);
            done();
        },
        [this, issue, done](const RequestError& error) {
            m_environment.console->print(QStringLiteral("Error refreshing PR status: ") + error.localizedDescription());
            // The pull request read as an issue still brings its title and state; only the
            // issue resource carries the id the list knows it by.
            const QString issueUrlText
                = AssignmentRules::issueURL(issue->htmlUrl(), m_environment.endpoints)->toString(QUrl::FullyEncoded);
            m_cancellables.add(m_apiService.fetchIssue(issueUrlText, RequestKind::Status)
                                   .subscribe(
                                       [this, done](const IssuePtr& fetched) {
                                           applyFetchedIssue(fetched);
                                           done();
                                       },
                                       [this, done](const RequestError& fallbackError) {
                                           statusRequestFailed(fallbackError);
                                           done();
                                       }));
        }));
}

void AssignmentsViewModel::applyFetchedIssue(const IssuePtr& fetched)
{
    const IssuePtr record = m_listedById.value(fetched->id());
    if (!record)
        return;
    const bool moved = record->updatedAt() != fetched->updatedAt();
    record->setState(fetched->state());
    record->setUpdatedAt(fetched->updatedAt());
    record->setTitle(fetched->title());
    if (fetched->repository())
        record->setRepository(fetched->repository());
    recordChangedInPlace(record->id(), moved);
    m_environment.console->print(
        QStringLiteral("Updated assignment status: ") + fetched->title() + QStringLiteral(" - ") + fetched->state());
}

void AssignmentsViewModel::applyPullRequestDetails(const IssuePtr& issue, const PullRequestDetails& details)
{
    const IssuePtr record = m_listedById.value(issue->id());
    if (!record)
        return;
    if (!details.merged) {
        record->setState(details.state);
    } else {
        record->setState(QStringLiteral("merged"));
        if (details.mergedAt) {
            PullRequestInfo pullRequest = record->pullRequest().value_or(PullRequestInfo());
            pullRequest.setMergedAt(details.mergedAt);
            record->setPullRequest(pullRequest);
        }
    }
    recordChangedInPlace(record->id(), false);
    m_environment.console->print(
        QStringLiteral("Updated PR status: ") + issue->title() + QStringLiteral(" - ") + record->state());
}

QList<IssuePtr> AssignmentsViewModel::filteredIssues() const
{
    if (!m_query.acceptsAccount(account()))
        return {};
    return AssignmentRules::filteredIssues(m_issues, m_favorites, m_archivedIssues, m_showOnlyFavorites, m_query);
}

QStringList AssignmentsViewModel::filterCompletions(const QString& token) const
{
    return QueryVocabulary::completions(token, AssignmentRules::queryFields, [this](QueryField field) {
        if (field == QueryField::Account)
            return QStringList {account().name()};
        return AssignmentRules::queryValues(m_issues, field);
    });
}

bool AssignmentsViewModel::isFavorite(const IssuePtr& issue) const
{
    return AssignmentRules::containsId(m_favorites, issue->id());
}

void AssignmentsViewModel::toggleFavorite(const IssuePtr& issue)
{
    const auto starred = std::find_if(
        m_favorites.begin(), m_favorites.end(), [&](const IssuePtr& i) { return i->id() == issue->id(); });
    if (starred == m_favorites.end())
        m_favorites.append(issue);
    else
        m_favorites.erase(starred);
    m_persistenceService.save(m_favorites, PreferenceKeys::issueFavoritesKey);
    Q_EMIT favoritesChanged();
}

bool AssignmentsViewModel::isArchived(const IssuePtr& issue) const
{
    return AssignmentRules::containsId(m_archivedIssues, issue->id());
}

void AssignmentsViewModel::toggleArchived(const IssuePtr& issue)
{
    if (isFavorite(issue))
        showToast(QStringLiteral("Cannot archive a favorited assignment."));
    else if (isArchived(issue))
        unarchiveIssue(issue);
    else
        archiveIssue(issue);
}

void AssignmentsViewModel::archiveIssue(const IssuePtr& issue)
{
    QList<IssuePtr> remaining = m_issues;
    if (remaining.removeIf([&](const IssuePtr& i) { return i->id() == issue->id(); }) > 0)
        setIssues(std::move(remaining));
    setArchivedIssues(AssignmentRules::withoutDuplicateIds(m_archivedIssues + QList<IssuePtr> {issue}));
    m_environment.console->print(QStringLiteral("Assignment marked as read and archived successfully."));
}

void AssignmentsViewModel::unarchiveIssue(const IssuePtr& issue)
{
    QList<IssuePtr> archived = m_archivedIssues;
    archived.removeIf([&](const IssuePtr& i) { return i->id() == issue->id(); });
    setArchivedIssues(std::move(archived));
    setIssues(AssignmentRules::withoutDuplicateIds(m_issues + QList<IssuePtr> {issue}));
    m_environment.console->print(QStringLiteral("Assignment unarchived successfully."));
}

void AssignmentsViewModel::setFavorite(const QList<IssuePtr>& issues, bool favorite)
{
    if (favorite) {
        m_favorites = AssignmentRules::withoutDuplicateIds(m_favorites + issues);
    } else {
        QSet<qint64> ids;
        for (const IssuePtr& issue : issues)
            ids.insert(issue->id());
        m_favorites.removeIf([&ids](const IssuePtr& i) { return ids.contains(i->id()); });
    }
    m_persistenceService.save(m_favorites, PreferenceKeys::issueFavoritesKey);
    Q_EMIT favoritesChanged();
}

void AssignmentsViewModel::archiveIssues(const QList<IssuePtr>& issues)
{
    QList<IssuePtr> archiving;
    QSet<qint64> ids;
    for (const IssuePtr& issue : issues) {
        if (!isFavorite(issue) && !isArchived(issue)) {
            archiving.append(issue);
            ids.insert(issue->id());
        }
    }
    if (archiving.size() < issues.size())
        showToast(QStringLiteral("Cannot archive a favorited assignment."));
    if (archiving.isEmpty())
        return;
    QList<IssuePtr> remaining = m_issues;
    if (remaining.removeIf([&ids](const IssuePtr& i) { return ids.contains(i->id()); }) > 0)
        setIssues(std::move(remaining));
    setArchivedIssues(AssignmentRules::withoutDuplicateIds(m_archivedIssues + archiving));
    m_environment.console->print(
        QStringLiteral("Archived ") + QString::number(archiving.size()) + QStringLiteral(" assignments."));
}

void AssignmentsViewModel::addAssignment(const QString& urlText)
{
    // A pull request is read as an issue: its pull-request resource has another id than
    // the one the assigned-items list gives it, so a later sync would list it twice.
    const std::optional<QUrl> url = AssignmentRules::issueURL(urlText, m_environment.endpoints);
    if (!url) {
        showToast(QStringLiteral("Invalid URL"));
        Q_EMIT addAssignmentFinished(urlText, AddAssignmentOutcome::InvalidURL);
        return;
    }
    m_cancellables.add(m_apiService.fetchIssue(url->toString(QUrl::FullyEncoded), RequestKind::UserAction)
                           .subscribe([this, urlText](const IssuePtr& fetched) { addFetchedIssue(urlText, fetched); },
                               [this, urlText](const RequestError& error) {
                                   if (needsSignIn(error)) {
                                       setNeedsToken(true);
                                       Q_EMIT addAssignmentFinished(urlText, AddAssignmentOutcome::NeedsSignIn);
                                       return;
                                   }
                                   showToast(
                                       QStringLiteral("Error fetching assignment: ") + error.localizedDescription());
                                   Q_EMIT addAssignmentFinished(urlText, AddAssignmentOutcome::Failed);
                               }));
}

void AssignmentsViewModel::addFetchedIssue(const QString& urlText, const IssuePtr& issue)
{
    if (m_listedById.contains(issue->id())) {
        showToast(QStringLiteral("Assignment already exists in the list"));
        Q_EMIT addAssignmentFinished(urlText, AddAssignmentOutcome::AlreadyListed);
        return;
    }
    if (const std::optional<QString>& repositoryUrl = issue->repositoryUrl())
        issue->setRepository(Repository(AssignmentRules::repositoryName(*repositoryUrl)));
    setIssues(m_issues + QList<IssuePtr> {issue});
    saveCacheSoon();
    QSet<qint64> ids = m_newIssueIds;
    ids.insert(issue->id());
    setNewIssueIds(std::move(ids));
    showToast(QStringLiteral("Assignment added successfully"));
    Q_EMIT addAssignmentFinished(urlText, AddAssignmentOutcome::Added);

    m_environment.scheduler->singleShot(highlightDuration, this, [this, id = issue->id()] {
        QSet<qint64> highlighted = m_newIssueIds;
        if (highlighted.remove(id))
            setNewIssueIds(std::move(highlighted));
    });
}

void AssignmentsViewModel::showToast(const QString& message)
{
    setToastMessage(message);
    // Not tied to this toast: a toast shown meanwhile is cleared with it.
    m_environment.scheduler->singleShot(toastDuration, this, [this] { setToastMessage(QString()); });
}

void AssignmentsViewModel::setShowOnlyFavorites(bool showOnlyFavorites)
{
    if (m_showOnlyFavorites == showOnlyFavorites)
        return;
    m_showOnlyFavorites = showOnlyFavorites;
    Q_EMIT showOnlyFavoritesChanged();
}

void AssignmentsViewModel::setTextFilter(const QString& text)
{
    if (m_textFilter == text)
        return;
    m_textFilter = text;
    m_query = FeedQuery::parse(text, AssignmentRules::queryFields);
    Q_EMIT textFilterChanged();
}

void AssignmentsViewModel::setIssues(QList<IssuePtr> issues)
{
    m_issues = std::move(issues);
    m_listedById.clear();
    m_listedById.reserve(m_issues.size());
    for (const IssuePtr& issue : m_issues) {
        if (!m_listedById.contains(issue->id()))
            m_listedById.insert(issue->id(), issue);
    }
    Q_EMIT issuesChanged();
}

void AssignmentsViewModel::setArchivedIssues(QList<IssuePtr> issues)
{
    m_archivedIssues = std::move(issues);
    m_persistenceService.save(m_archivedIssues, PreferenceKeys::archivedIssuesKey);
    Q_EMIT archivedIssuesChanged();
}

void AssignmentsViewModel::setToastMessage(const QString& message)
{
    m_toastMessage = message;
    Q_EMIT toastMessageChanged();
}

void AssignmentsViewModel::setNewIssueIds(QSet<qint64> ids)
{
    m_newIssueIds = std::move(ids);
    Q_EMIT newIssueIdsChanged();
}

void AssignmentsViewModel::recordChangedInPlace(qint64 id, bool orderChanged)
{
    saveCacheSoon();
    if (orderChanged)
        Q_EMIT issuesChanged();
    else
        Q_EMIT issueChanged(id);
    Q_EMIT changed();
}
