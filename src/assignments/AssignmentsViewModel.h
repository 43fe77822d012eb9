#pragma once

#include "core/Environment.h"
#include "core/Subscription.h"
#include "core/SyncOutcome.h"
#include "core/ThrottledTask.h"
#include "github/GitHubAPIService.h"
#include "github/Issue.h"
#include "notifications/AutoReloadService.h"
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
class AssignmentsViewModel : public QObject, public std::enable_shared_from_this<AssignmentsViewModel>
{
    Q_OBJECT
    Q_PROPERTY(QList<IssuePtr> issues READ issues NOTIFY issuesChanged)
    Q_PROPERTY(QList<IssuePtr> archivedIssues READ archivedIssues NOTIFY archivedIssuesChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QList<IssuePtr> favorites READ favorites NOTIFY favoritesChanged)
    Q_PROPERTY(bool showOnlyFavorites READ showOnlyFavorites WRITE setShowOnlyFavorites NOTIFY showOnlyFavoritesChanged)
    Q_PROPERTY(QString toastMessage READ toastMessage NOTIFY toastMessageChanged)
    Q_PROPERTY(QSet<qint64> newIssueIds READ newIssueIds NOTIFY newIssueIdsChanged)
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(bool needsToken READ needsToken WRITE setNeedsToken NOTIFY needsTokenChanged)
    Q_PROPERTY(bool autoReload READ autoReload WRITE setAutoReload NOTIFY autoReloadChanged)

public:
    // Builds the controller and runs its start-up: load the cache, start the first sync.
    static std::shared_ptr<AssignmentsViewModel> create(const Environment& environment);
    ~AssignmentsViewModel() override;

    // Every known item. Archiving takes an item out; it comes back, still hidden by
    // filteredIssues, from the cache at the next start or when a sync fetches it again.
    const QList<IssuePtr>& issues() const { return m_issues; }
    const QList<IssuePtr>& archivedIssues() const { return m_archivedIssues; }
    bool isLoading() const { return m_isLoading; }
    const QList<IssuePtr>& favorites() const { return m_favorites; }
    bool showOnlyFavorites() const { return m_showOnlyFavorites; }
    void setShowOnlyFavorites(bool showOnlyFavorites);
    // Null when no toast is shown.
    const QString& toastMessage() const { return m_toastMessage; }
    const QSet<qint64>& newIssueIds() const { return m_newIssueIds; }
    // Null when there is no status line.
    const QString& statusMessage() const { return m_statusMessage; }
    bool needsToken() const { return m_needsToken; }
    void setNeedsToken(bool needsToken);
    bool autoReload() const { return m_autoReload; }
    // Every assignment applies the switch and stores it, also when the value is unchanged.
    void setAutoReload(bool autoReload);

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
    // Reads the item at a pasted web address and lists it; the outcome is a toast, or
    // needsToken.
    void addAssignment(const QString& urlText);
    // Shows `message` for three seconds.
    void showToast(const QString& message);

    // A request this controller started has not answered yet.
    bool hasRequestsInFlight() { return m_cancellables.hasPending(); }
    // Hands a cache save still waiting for its turn to the preference store now.
    void flushPendingSaves() { m_cacheSave.flush(); }

Q_SIGNALS:
    void issuesChanged();
    void archivedIssuesChanged();
    void isLoadingChanged();
    void favoritesChanged();
    void showOnlyFavoritesChanged();
    void toastMessageChanged();
    void newIssueIdsChanged();
    void statusMessageChanged();
    void needsTokenChanged();
    void autoReloadChanged();
    // A listed record changed in place (state, title, update time, repository, merge time).
    void changed();
    // A sync's request ended, after its results were applied.
    void syncFinished(SyncOutcome outcome);
    // refreshAssignmentStatuses began (also when there was nothing to refresh).
    void statusRefreshStarted();

private:
    explicit AssignmentsViewModel(const Environment& environment);

    void startUp();
    void loadFromCache();
    void processFetchedIssues(const QList<IssuePtr>& fetched, const QDateTime& pullMoment);
    void scheduleStatusRefresh();
    // Re-reads every listed item; `finished` runs with the count once each is done.
    void refreshEveryItem(std::function<void(qsizetype)> finished);
    void refreshItemStatus(const IssuePtr& issue, const std::function<void()>& done);
    void applyFetchedIssue(const IssuePtr& fetched);
    void applyPullRequestDetails(const IssuePtr& issue, const PullRequestDetails& details);
    void addFetchedIssue(const IssuePtr& issue);
    void updateAutoReload();

    void setIssues(QList<IssuePtr> issues);
    void setArchivedIssues(QList<IssuePtr> issues);
    void setLoading(bool loading);
    void setStatusMessage(const QString& message);
    void setToastMessage(const QString& message);
    void setNewIssueIds(QSet<qint64> ids);
    void listChangedInPlace();
    QString now() const;

    Environment m_environment;
    GitHubAPIService m_apiService;
    PersistenceService m_persistenceService;
    AutoReloadService m_autoReloadService;
    SubscriptionSet m_cancellables;

    QList<IssuePtr> m_issues;
    QHash<qint64, IssuePtr> m_listedById;
    QList<IssuePtr> m_archivedIssues;
    bool m_isLoading = false;
    QList<IssuePtr> m_favorites;
    bool m_showOnlyFavorites = false;
    QString m_toastMessage;
    QSet<qint64> m_newIssueIds;
    QString m_statusMessage;
    bool m_needsToken = false;
    bool m_autoReload = false;
    // Item answers arrive one by one: the cache is rewritten at the end of the turn,
    // then at most once a second while they keep coming.
    ThrottledTask m_cacheSave;
};
