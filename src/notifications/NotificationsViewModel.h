#pragma once

#include "core/Environment.h"
#include "core/Subscription.h"
#include "core/SyncOutcome.h"
#include "core/ThrottledTask.h"
#include "github/GitHubAPIService.h"
#include "github/Notification.h"
#include "github/StatusFetchingService.h"
#include "notifications/AutoReloadService.h"
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
class NotificationsViewModel : public QObject, public std::enable_shared_from_this<NotificationsViewModel>
{
    Q_OBJECT
    Q_PROPERTY(QList<NotificationPtr> notifications READ notifications NOTIFY notificationsChanged)
    Q_PROPERTY(QStringList repositories READ repositories NOTIFY repositoriesChanged)
    Q_PROPERTY(
        QString selectedRepository READ selectedRepository WRITE setSelectedRepository NOTIFY selectedRepositoryChanged)
    Q_PROPERTY(QString textFilter READ textFilter WRITE setTextFilter NOTIFY textFilterChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QList<NotificationPtr> favorites READ favorites NOTIFY favoritesChanged)
    Q_PROPERTY(QSet<QString> newNotificationIds READ newNotificationIds NOTIFY newNotificationIdsChanged)
    Q_PROPERTY(
        StoppedWatching stoppedWatchingSubjects READ stoppedWatchingSubjects NOTIFY stoppedWatchingSubjectsChanged)
    Q_PROPERTY(QSet<QString> readNotificationIds READ readNotificationIds NOTIFY readNotificationIdsChanged)
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(bool needsToken READ needsToken WRITE setNeedsToken NOTIFY needsTokenChanged)
    Q_PROPERTY(bool autoReload READ autoReload WRITE setAutoReload NOTIFY autoReloadChanged)

public:
    // Subject API URL → the moment the user stopped watching it.
    using StoppedWatching = QHash<QString, QDateTime>;

    // Builds the controller and runs its start-up: load the cache, start the first
    // sync, expire old stopped-watching marks and re-apply the others.
    static std::shared_ptr<NotificationsViewModel> create(const Environment& environment);
    ~NotificationsViewModel() override;

    const QList<NotificationPtr>& notifications() const { return m_notifications; }
    const QStringList& repositories() const { return m_repositories; }
    const QString& selectedRepository() const { return m_selectedRepository; }
    void setSelectedRepository(const QString& repository);
    const QString& textFilter() const { return m_textFilter; }
    void setTextFilter(const QString& text);
    bool isLoading() const { return m_isLoading; }
    const QList<NotificationPtr>& favorites() const { return m_favorites; }
    const QSet<QString>& newNotificationIds() const { return m_newNotificationIds; }
    const StoppedWatching& stoppedWatchingSubjects() const { return m_stoppedWatchingSubjects; }
    const QSet<QString>& readNotificationIds() const { return m_readNotificationIds; }
    // Null when there is no status line.
    const QString& statusMessage() const { return m_statusMessage; }
    bool needsToken() const { return m_needsToken; }
    void setNeedsToken(bool needsToken);
    bool autoReload() const { return m_autoReload; }
    // Every assignment applies the switch and stores it, also when the value is unchanged.
    void setAutoReload(bool autoReload);

    // Fetches the threads changed since the last pull and merges them. Returns at once.
    void syncNotifications();

    // Marks the thread read on GitHub, then drops it from the list for good.
    void markAsRead(const NotificationPtr& notification);
    // The local part of marking read.
    void removeReadNotification(const NotificationPtr& notification);
    // "Mark Completed Read": marks every closed, merged or resolved thread read.
    void markCompletedAsRead();
    // Marks the thread read and re-marks threads about its subject read for 30 days.
    void stopWatching(const NotificationPtr& notification);
    void toggleFavorite(const NotificationPtr& notification);
    bool isFavorite(const NotificationPtr& notification) const;
    // The rows of the Notifications table.
    QList<NotificationPtr> filteredNotifications() const;

    // A request this controller started has not answered yet (CI and review included).
    bool hasRequestsInFlight() { return m_cancellables.hasPending(); }

    // Hands a cache save still waiting for its turn to the preference store now.
    void flushPendingSaves() { m_cacheSave.flush(); }

Q_SIGNALS:
    void notificationsChanged();
    void repositoriesChanged();
    void selectedRepositoryChanged();
    void textFilterChanged();
    void isLoadingChanged();
    void favoritesChanged();
    void newNotificationIdsChanged();
    void stoppedWatchingSubjectsChanged();
    void readNotificationIdsChanged();
    void statusMessageChanged();
    void needsTokenChanged();
    void autoReloadChanged();
    // A listed record changed in place (its state, CI or review words).
    void changed();
    // A sync's request ended, after its results were applied.
    void syncFinished(SyncOutcome outcome);
    // The status refresh that follows a successful sync has started its requests.
    void statusRefreshStarted();

private:
    explicit NotificationsViewModel(const Environment& environment);

    void startUp();
    void loadFromCache();
    void cleanupStoppedWatching();
    void markStoppedWatchingRead();
    void processFetchedNotifications(const QList<NotificationPtr>& fetched, const QDateTime& pullMoment);
    void scheduleStatusRefresh();
    void refreshPullRequestStatuses();
    void refreshPullRequestDetails(const NotificationPtr& notification);
    void updateNotificationState(const NotificationPtr& notification, const std::optional<QString>& state);
    void updatePullRequestDetails(const NotificationPtr& notification, const QString& ci, const QString& review);
    void updateAutoReload();
    void updateRepositories();
    void reportSyncFailure(const RequestError& error);

    void setNotifications(QList<NotificationPtr> notifications);
    void setLoading(bool loading);
    void setStatusMessage(const QString& message);
    void setNewNotificationIds(QSet<QString> ids);
    // The listed record with this id, if any.
    NotificationPtr listed(const QString& id) const;
    QString now() const;

    Environment m_environment;
    GitHubAPIService m_apiService;
    StatusFetchingService m_statusService;
    PersistenceService m_persistenceService;
    AutoReloadService m_autoReloadService;
    SubscriptionSet m_cancellables;

    QList<NotificationPtr> m_notifications;
    QHash<QString, NotificationPtr> m_listedById;
    QStringList m_repositories;
    QString m_selectedRepository;
    QString m_textFilter;
    bool m_isLoading = false;
    QList<NotificationPtr> m_favorites;
    QSet<QString> m_newNotificationIds;
    StoppedWatching m_stoppedWatchingSubjects;
    QSet<QString> m_readNotificationIds;
    QString m_statusMessage;
    bool m_needsToken = false;
    bool m_autoReload = false;
    // Status answers arrive one by one: the cache is rewritten at the end of the turn,
    // then at most once a second while they keep coming.
    ThrottledTask m_cacheSave;
};
