#pragma once

#include "feeds/BulkProgress.h"
#include "feeds/FeedController.h"
#include "feeds/FeedQuery.h"
#include "github/GitHubAPIService.h"
#include "github/Notification.h"
#include "github/StatusFetchingService.h"
#include "notifications/NotificationRules.h"
#include "notifications/ReadElsewhereReconciler.h"
#include "storage/PersistenceService.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <memory>

class RequestError;

// The controller of the Notifications and Favorites tabs: holds the user's notification
// threads, keeps them in the preference store, brings them up to date from GitHub
// (sync, then a refresh of every pull request's state, CI and review), and carries out
// the user's triage. Views observe its properties and call its operations; it touches
// no widgets. Owned through a shared pointer: the delayed status refresh and the
// clearing of the new-thread highlight keep it alive until they have run; every other
// delayed step and reply handler is dropped with it.
class NotificationsViewModel : public FeedController, public std::enable_shared_from_this<NotificationsViewModel>
{
    Q_OBJECT
    Q_PROPERTY(QList<NotificationPtr> notifications READ notifications NOTIFY notificationsChanged)
    Q_PROPERTY(QStringList repositories READ repositories NOTIFY repositoriesChanged)
    Q_PROPERTY(
        QString selectedRepository READ selectedRepository WRITE setSelectedRepository NOTIFY selectedRepositoryChanged)
    Q_PROPERTY(QString textFilter READ textFilter WRITE setTextFilter NOTIFY textFilterChanged)
    Q_PROPERTY(QList<NotificationPtr> favorites READ favorites NOTIFY favoritesChanged)
    Q_PROPERTY(QSet<QString> newNotificationIds READ newNotificationIds NOTIFY newNotificationIdsChanged)
    Q_PROPERTY(
        StoppedWatching stoppedWatchingSubjects READ stoppedWatchingSubjects NOTIFY stoppedWatchingSubjectsChanged)
    Q_PROPERTY(QSet<QString> readNotificationIds READ readNotificationIds NOTIFY readNotificationIdsChanged)
    Q_PROPERTY(NotificationRules::DoneMarks doneNotifications READ doneNotifications NOTIFY doneNotificationsChanged)
    Q_PROPERTY(bool canMarkAsDone READ canMarkAsDone NOTIFY canMarkAsDoneChanged)
    Q_PROPERTY(QSet<QString> readElsewhereIds READ readElsewhereIds NOTIFY readElsewhereIdsChanged)
    Q_PROPERTY(bool removeReadElsewhere READ removeReadElsewhere WRITE setRemoveReadElsewhere NOTIFY
            removeReadElsewhereChanged)

public:
    // Subject API URL → the moment the user stopped watching it.
    using StoppedWatching = QHash<QString, QDateTime>;

    // Builds the controller and runs its start-up (now, or at start()): load the cache,
    // start the first sync, expire old stopped-watching marks and re-apply the others.
    static std::shared_ptr<NotificationsViewModel> create(
        const Environment& environment, StartUp startUp = StartUp::Now);
    ~NotificationsViewModel() override;

    const QList<NotificationPtr>& notifications() const { return m_notifications; }
    const QStringList& repositories() const { return m_repositories; }
    const QString& selectedRepository() const { return m_selectedRepository; }
    void setSelectedRepository(const QString& repository);
    const QString& textFilter() const { return m_textFilter; }
    void setTextFilter(const QString& text);
    // textFilter, read as a query; changes with it.
    const FeedQuery& filterQuery() const { return m_query; }
    // The filter-field tokens that complete `token`, with the values of this list.
    QStringList filterCompletions(const QString& token) const;
    const QList<NotificationPtr>& favorites() const { return m_favorites; }
    const QSet<QString>& newNotificationIds() const { return m_newNotificationIds; }
    const StoppedWatching& stoppedWatchingSubjects() const { return m_stoppedWatchingSubjects; }
    const QSet<QString>& readNotificationIds() const { return m_readNotificationIds; }
    // Threads the user marked done, each with its updated_at at that moment.
    const NotificationRules::DoneMarks& doneNotifications() const { return m_doneNotifications; }
    // The server can mark threads done: its last reply came from github.com or from an
    // Enterprise Server of 3.13 or later. False until the server has answered.
    bool canMarkAsDone() const { return m_canMarkAsDone; }
    // Listed threads that GitHub no longer lists as unread: the user read them elsewhere.
    const QSet<QString>& readElsewhereIds() const { return m_readElsewhereIds; }
    bool isReadElsewhere(const Notification& notification) const
    {
        return m_readElsewhereIds.contains(notification.id());
    }
    // Threads read elsewhere leave the list at each full listing of the unread threads,
    // instead of staying in it marked. Stored; turning it on lets the marked ones go now.
    bool removeReadElsewhere() const { return m_removeReadElsewhere; }
    void setRemoveReadElsewhere(bool remove);

    void forgetCachedToken() override;

    // Fetches the threads changed since the last pull and merges them. Returns at once.
    void syncNotifications();
    // The user's "Re-sync": says so on the console, then syncs, and lists every unread
    // thread after the sync.
    void resyncAll();

    // Marks the thread read on GitHub, then drops it from the list for good.
    void markAsRead(const NotificationPtr& notification);
    // The local part of marking read.
    void removeReadNotification(const NotificationPtr& notification);
    // Marks the thread done on GitHub, then drops it from the list until GitHub lists it
    // again with a later update. A failure keeps the thread and says so in the status
    // line. Only where canMarkAsDone().
    void markAsDone(const NotificationPtr& notification);
    // "Mark Completed Read": marks every closed, merged or resolved thread read.
    void markCompletedAsRead();
    // Marks the thread read and re-marks threads about its subject read for 30 days.
    void stopWatching(const NotificationPtr& notification);
    void toggleFavorite(const NotificationPtr& notification);
    // The same operations on a selection of threads: one request per thread, queued by
    // the client so as not to flood GitHub. Each thread leaves the list once GitHub has
    // accepted it; the status line counts the answers and then sums them up, and each
    // failure goes to the debug log.
    void markAsRead(const QList<NotificationPtr>& notifications);
    void markAsDone(const QList<NotificationPtr>& notifications);
    void stopWatching(const QList<NotificationPtr>& notifications);
    // Stars every one of the threads, or takes the star off every one.
    void setFavorite(const QList<NotificationPtr>& notifications, bool favorite);
    bool isFavorite(const NotificationPtr& notification) const;
    // The user stopped watching the thread's subject less than 30 days ago: a sync that
    // brings the thread marks it read again.
    bool isStoppedWatching(const Notification& notification) const;
    // The rows of the Notifications table.
    QList<NotificationPtr> filteredNotifications() const;

Q_SIGNALS:
    void notificationsChanged();
    void repositoriesChanged();
    void selectedRepositoryChanged();
    void textFilterChanged();
    void favoritesChanged();
    void newNotificationIdsChanged();
    void stoppedWatchingSubjectsChanged();
    void readNotificationIdsChanged();
    void doneNotificationsChanged();
    void canMarkAsDoneChanged();
    void readElsewhereIdsChanged();
    void removeReadElsewhereChanged();
    // The listed record with this id changed in place (its state, CI or review words);
    // changed() follows for whole-list listeners.
    void notificationChanged(const QString& id);

private:
    explicit NotificationsViewModel(const Environment& environment);

    void saveCache() override;
    void autoReloadTriggered() override;

    void startUp() override;
    void loadFromCache();
    void cleanupStoppedWatching();
    void markStoppedWatchingRead();
    void processFetchedNotifications(const QList<NotificationPtr>& fetched, const QDateTime& pullMoment);
    void scheduleStatusRefresh();
    void refreshPullRequestStatuses();
    void refreshPullRequestDetails(const NotificationPtr& notification);
    void updateNotificationState(const NotificationPtr& notification, const std::optional<QString>& state);
    void updatePullRequestDetails(const NotificationPtr& notification, const QString& ci, const QString& review);
    void updateRepositories();
    void reportSyncFailure(const RequestError& error);
    void removeDoneNotification(const NotificationPtr& notification);
    void reportMarkAsDoneFailure(const NotificationPtr& notification, const RequestError& error);
    // Takes the thread out of the threads read elsewhere: it has left the list.
    void forgetReadElsewhere(const QString& id);
    void setCanMarkAsDone(bool canMarkAsDone);
    void sendBulk(BulkProgress::Operation operation, const QList<NotificationPtr>& notifications);
    void bulkReplied(const std::shared_ptr<BulkProgress>& progress);
    // Takes the threads GitHub accepted since the last call out of the list in one step,
    // so that hundreds of replies do not each rebuild the tables.
    void applyBulkReplies();
    // After a successful sync: lists every unread thread when that is due, and marks
    // what it finds.
    void reconcileIfDue();
    // `unread` is every thread GitHub lists as unread; `listedBefore`, the threads listed
    // when the listing began (threads that arrived since are unread).
    void applyUnreadListing(const QSet<QString>& listedBefore, const QSet<QString>& unread);
    void setReadElsewhereIds(QSet<QString> ids);
    void removeThreadsReadElsewhere();

    void setNotifications(QList<NotificationPtr> notifications);
    void setNewNotificationIds(QSet<QString> ids);
    // The listed record with this id, if any.
    NotificationPtr listed(const QString& id) const;

    GitHubAPIService m_apiService;
    StatusFetchingService m_statusService;
    PersistenceService m_persistenceService;

    QList<NotificationPtr> m_notifications;
    QHash<QString, NotificationPtr> m_listedById;
    QStringList m_repositories;
    QString m_selectedRepository;
    QString m_textFilter;
    FeedQuery m_query;
    QList<NotificationPtr> m_favorites;
    QSet<QString> m_newNotificationIds;
    StoppedWatching m_stoppedWatchingSubjects;
    QSet<QString> m_readNotificationIds;
    NotificationRules::DoneMarks m_doneNotifications;
    bool m_canMarkAsDone = false;
    ReadElsewhereReconciler m_reconciler;
    QSet<QString> m_readElsewhereIds;
    bool m_removeReadElsewhere = false;
    QList<NotificationPtr> m_acceptedRead;
    QList<NotificationPtr> m_acceptedDone;
    // The bulk operation whose reply came last: the status line follows it.
    std::shared_ptr<BulkProgress> m_shownProgress;
    bool m_bulkRepliesQueued = false;
};
