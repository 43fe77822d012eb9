#pragma once

#include "assignments/AddAssignmentOutcome.h"
#include "feeds/FeedController.h"
#include "feeds/FeedQuery.h"
#include "github/GitHubAPIService.h"
#include "github/Issue.h"
#include "storage/PersistenceService.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>

#include <functional>
#include <memory>

class RequestError;

// The controller of the Assignments tab: holds the issues and pull requests assigned to
// the user, keeps them in the preference store, brings them up to date from GitHub
// (sync, then a re-read of every listed item), and carries out the user's operations:
// stars, archive, add by URL, toasts. Views observe its properties and call its
// operations; it touches no widgets. Owned through a shared pointer: the delayed
// refresh after a sync and the clearing of the new-item highlight keep it alive until
// they have run; every other delayed step and reply handler is dropped with it.
class AssignmentsViewModel : public FeedController, public std::enable_shared_from_this<AssignmentsViewModel>
{
    Q_OBJECT
    Q_PROPERTY(QList<IssuePtr> issues READ issues NOTIFY issuesChanged)
    Q_PROPERTY(QList<IssuePtr> archivedIssues READ archivedIssues NOTIFY archivedIssuesChanged)
    Q_PROPERTY(QList<IssuePtr> favorites READ favorites NOTIFY favoritesChanged)
    Q_PROPERTY(QString textFilter READ textFilter WRITE setTextFilter NOTIFY textFilterChanged)
    Q_PROPERTY(bool showOnlyFavorites READ showOnlyFavorites WRITE setShowOnlyFavorites NOTIFY showOnlyFavoritesChanged)
    Q_PROPERTY(QString toastMessage READ toastMessage NOTIFY toastMessageChanged)
    Q_PROPERTY(QSet<qint64> newIssueIds READ newIssueIds NOTIFY newIssueIdsChanged)

public:
    // Builds the controller and runs its start-up (now, or at start()): load the cache,
    // start the first sync.
    static std::shared_ptr<AssignmentsViewModel> create(const Environment& environment, StartUp startUp = StartUp::Now);
    ~AssignmentsViewModel() override;

    // Every known item. Archiving takes an item out; it comes back, still hidden by
    // filteredIssues, from the cache at the next start or when a sync fetches it again.
    const QList<IssuePtr>& issues() const { return m_issues; }
    const QList<IssuePtr>& archivedIssues() const { return m_archivedIssues; }
    const QList<IssuePtr>& favorites() const { return m_favorites; }
    bool showOnlyFavorites() const { return m_showOnlyFavorites; }
    void setShowOnlyFavorites(bool showOnlyFavorites);
    // The filter field: title text, or a query (see FeedQuery). Not stored.
    const QString& textFilter() const { return m_textFilter; }
    void setTextFilter(const QString& text);
    // textFilter, read as a query; changes with it.
    const FeedQuery& filterQuery() const { return m_query; }
    // The filter-field tokens that complete `token`, with the values of this list.
    QStringList filterCompletions(const QString& token) const;
    // Null when no toast is shown.
    const QString& toastMessage() const { return m_toastMessage; }
    const QSet<qint64>& newIssueIds() const { return m_newIssueIds; }

    void forgetCachedToken() override { m_apiService.forgetCachedToken(); }

    // Fetches the items changed since the last pull and merges them. Returns at once.
    void syncAssignments();
    // Re-reads every listed item from GitHub.
    void refreshAssignmentStatuses();
    // "Re-sync": re-reads every listed item, then syncs.
    void resyncAll();

    // The rows of the Assignments table.
    QList<IssuePtr> filteredIssues() const;
    bool isFavorite(const IssuePtr& issue) const;
    void toggleFavorite(const IssuePtr& issue);
    bool isArchived(const IssuePtr& issue) const;
    // The row's archive button: a starred item stays put with a toast; otherwise an
    // archived item is unarchived and any other archived.
    void toggleArchived(const IssuePtr& issue);
    void archiveIssue(const IssuePtr& issue);
    void unarchiveIssue(const IssuePtr& issue);
    // For a selection of rows, each applied as one change: stars every item or takes the
    // star off every one; archives every item that is not starred (a toast says when some
    // are).
    void setFavorite(const QList<IssuePtr>& issues, bool favorite);
    void archiveIssues(const QList<IssuePtr>& issues);
    // Reads the item at a pasted web address and lists it; the user sees the outcome as
    // a toast, or needsToken; addAssignmentFinished reports it.
    void addAssignment(const QString& urlText);
    // Shows `message` for three seconds.
    void showToast(const QString& message);

Q_SIGNALS:
    void issuesChanged();
    void archivedIssuesChanged();
    void favoritesChanged();
    void showOnlyFavoritesChanged();
    void textFilterChanged();
    void toastMessageChanged();
    void newIssueIdsChanged();
    // A listed record changed in place (changed() follows for whole-list listeners).
    void issueChanged(qint64 id);
    // How adding `urlText` (as given to addAssignment) ended.
    void addAssignmentFinished(const QString& urlText, AddAssignmentOutcome outcome);

private:
    explicit AssignmentsViewModel(const Environment& environment);

    void saveCache() override;
    void autoReloadTriggered() override;

    void startUp() override;
    void loadFromCache();
    void processFetchedIssues(const QList<IssuePtr>& fetched, const QDateTime& pullMoment);
    void scheduleStatusRefresh();
    // Re-reads every listed item; `finished` runs with the count once each is done.
    void refreshEveryItem(std::function<void(qsizetype)> finished);
    void refreshItemStatus(const IssuePtr& issue, const std::function<void()>& done);
    void applyFetchedIssue(const IssuePtr& fetched);
    void applyPullRequestDetails(const IssuePtr& issue, const PullRequestDetails& details);
    void addFetchedIssue(const QString& urlText, const IssuePtr& issue);

    void setIssues(QList<IssuePtr> issues);
    void setArchivedIssues(QList<IssuePtr> issues);
    void setToastMessage(const QString& message);
    void setNewIssueIds(QSet<qint64> ids);
    // `id`'s record changed in place; one whose updated_at moved may move in the table.
    void recordChangedInPlace(qint64 id, bool orderChanged);

    GitHubAPIService m_apiService;
    PersistenceService m_persistenceService;

    QList<IssuePtr> m_issues;
    QHash<qint64, IssuePtr> m_listedById;
    QList<IssuePtr> m_archivedIssues;
    QList<IssuePtr> m_favorites;
    bool m_showOnlyFavorites = false;
    QString m_textFilter;
    FeedQuery m_query;
    QString m_toastMessage;
    QSet<qint64> m_newIssueIds;
};
