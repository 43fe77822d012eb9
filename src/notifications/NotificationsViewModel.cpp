#include "notifications/NotificationsViewModel.h"

#include "core/Console.h"
#include "core/DebugLogger.h"
#include "core/Scheduler.h"
#include "feeds/QueryVocabulary.h"
#include "github/RequestError.h"
#include "notifications/NotificationRules.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

#include <QMetaObject>

using namespace std::chrono_literals;

namespace {

constexpr auto watchdogDelay = 30s;
constexpr auto statusRefreshDelay = 500ms;
constexpr auto newHighlightDuration = 3s;
constexpr qint64 stoppedWatchingLifetimeSeconds = 30 * 24 * 60 * 60;
const QString kLogSource = QStringLiteral("Notifications");

} // namespace

std::shared_ptr<NotificationsViewModel> NotificationsViewModel::create(const Environment& environment, StartUp startUp)
{
    std::shared_ptr<NotificationsViewModel> viewModel(new NotificationsViewModel(environment));
    if (startUp == StartUp::Now)
        viewModel->start();
    return viewModel;
}

NotificationsViewModel::NotificationsViewModel(const Environment& environment)
    : FeedController(environment, PreferenceKeys::autoReload, SavedViews::notificationViews())
    , m_apiService(environment)
    , m_statusService(environment)
    , m_persistenceService(environment)
    , m_repositories {NotificationRules::allRepositories}
    , m_selectedRepository(NotificationRules::allRepositories)
    , m_reconciler(environment, m_apiService)
{
    m_apiService.watchServerVersion(
        [this](const ServerVersion& server) { setCanMarkAsDone(server.supportsMarkingDone()); });
}

NotificationsViewModel::~NotificationsViewModel()
{
    flushPendingSaves();
    m_cancellables.cancelAll();
}

void NotificationsViewModel::saveCache()
{
    m_persistenceService.save(m_notifications, PreferenceKeys::notificationsCacheKey);
}

void NotificationsViewModel::autoReloadTriggered()
{
    m_environment.console->print(QStringLiteral(">>> Auto-reload: Triggering scheduled sync"));
    syncNotifications();
}

void NotificationsViewModel::forgetCachedToken()
{
    m_apiService.forgetCachedToken();
    m_statusService.forgetCachedToken();
}

void NotificationsViewModel::startUp()
{
    loadFromCache();
    syncNotifications();
    cleanupStoppedWatching();
    markStoppedWatchingRead();
}

void NotificationsViewModel::loadFromCache()
{
    m_readNotificationIds
        = m_persistenceService.loadIds(PreferenceKeys::readNotificationsKey).value_or(QSet<QString> {});
    QList<NotificationPtr> cached = m_persistenceService.loadNotifications(PreferenceKeys::notificationsCacheKey)
                                        .value_or(QList<NotificationPtr> {});
    m_doneNotifications = m_persistenceService.loadTexts(PreferenceKeys::doneNotificationsKey)
                              .value_or(NotificationRules::DoneMarks {});
    cached.removeIf([this](const NotificationPtr& n) {
        return m_readNotificationIds.contains(n->id()) || NotificationRules::isStillDone(*n, m_doneNotifications);
    });
    Q_EMIT readNotificationIdsChanged();
    Q_EMIT doneNotificationsChanged();
    setNotifications(std::move(cached));
    // The picker offers the cached threads' repositories before the first sync answers.
    updateRepositories();
    m_favorites
        = m_persistenceService.loadNotifications(PreferenceKeys::favoritesKey).value_or(QList<NotificationPtr> {});
    Q_EMIT favoritesChanged();
    m_stoppedWatchingSubjects
        = m_persistenceService.loadDates(PreferenceKeys::stoppedWatchingKey).value_or(StoppedWatching {});
    Q_EMIT stoppedWatchingSubjectsChanged();
    QSet<QString> readElsewhere
        = m_persistenceService.loadIds(PreferenceKeys::readElsewhereKey).value_or(QSet<QString> {});
    readElsewhere.removeIf([this](const QString& id) { return !m_listedById.contains(id); });
    m_readElsewhereIds = std::move(readElsewhere);
    Q_EMIT readElsewhereIdsChanged();
    m_removeReadElsewhere = m_environment.preferences->boolValue(PreferenceKeys::removeReadElsewhere);
    Q_EMIT removeReadElsewhereChanged();
    setAutoReload(m_environment.preferences->boolValue(PreferenceKeys::autoReload));
    m_environment.console->print(QStringLiteral("Loaded ") + QString::number(m_notifications.size())
        + QStringLiteral(" notifications from cache."));
}

void NotificationsViewModel::cleanupStoppedWatching()
{
    const QDateTime oldest = m_environment.scheduler->now().addSecs(-stoppedWatchingLifetimeSeconds);
    m_stoppedWatchingSubjects.removeIf([&](const auto& mark) { return mark.value() <= oldest; });
    m_persistenceService.save(m_stoppedWatchingSubjects, PreferenceKeys::stoppedWatchingKey);
    Q_EMIT stoppedWatchingSubjectsChanged();
}

void NotificationsViewModel::markStoppedWatchingRead()
{
    for (const NotificationPtr& notification : QList<NotificationPtr>(m_notifications)) {
        if (isStoppedWatching(*notification))
            markAsRead(notification);
    }
}

bool NotificationsViewModel::isStoppedWatching(const Notification& notification) const
{
    const std::optional<QString>& url = notification.subject().url();
    if (!url)
        return false;
    const auto mark = m_stoppedWatchingSubjects.constFind(*url);
    const QDateTime oldest = m_environment.scheduler->now().addSecs(-stoppedWatchingLifetimeSeconds);
    return mark != m_stoppedWatchingSubjects.constEnd() && *mark > oldest;
}

void NotificationsViewModel::resyncAll()
{
    m_environment.console->print(QStringLiteral(">>> Re-syncing all data (notifications + PR statuses)..."));
    m_reconciler.requestListing();
    syncNotifications();
}

void NotificationsViewModel::syncNotifications()
{
    Console& console = *m_environment.console;
    console.print(QStringLiteral(">>> Fetching notifications..."));
    const QDateTime since = m_persistenceService.getLastPullDate(false);
    setLoading(true);
    setStatusMessage(QStringLiteral("Syncing notifications") + at() + QStringLiteral("..."));

    m_environment.scheduler->singleShot(watchdogDelay, this, [this] {
        if (!isLoading())
            return;
        m_environment.console->print(QStringLiteral("⚠️ Notification fetch timeout - forcing completion"));
        setLoading(false);
        setStatusMessage(QStringLiteral("Sync timed out") + at());
    });

    // The next sync asks from the moment this one asked, so that a thread changed while
    // the reply was on its way is fetched again rather than skipped.
    const QDateTime pullMoment = m_environment.scheduler->now();
    m_cancellables.add(m_apiService.fetchNotifications(since, 1).subscribe(
        [this, pullMoment](const QList<NotificationPtr>& fetched) {
            processFetchedNotifications(fetched, pullMoment);
            reconcileIfDue();
            scheduleStatusRefresh();
            setLoading(false);
            Q_EMIT syncFinished(SyncOutcome::Succeeded);
        },
        [this](const RequestError& error) {
            setLoading(false);
            // Such a token can never read notifications: say what to do instead.
            setStatusMessage(QStringLiteral("Sync failed") + at()
                + (error.isNotAccessibleByToken()
                        ? QStringLiteral(": Fine-grained tokens cannot read notifications; use a classic token "
                                         "with the notifications and repo scopes")
                        : QString()));
            reportSyncFailure(error);
            if (needsSignIn(error))
                setNeedsToken(true);
            Q_EMIT syncFinished(needsSignIn(error) ? SyncOutcome::NeedsSignIn : SyncOutcome::Failed);
        }));
}

void NotificationsViewModel::reportSyncFailure(const RequestError& error)
{
    Console& console = *m_environment.console;
    console.print(QStringLiteral("❌ Error fetching notifications:"));
    console.print(QStringLiteral("   Error type: ") + error.typeName());
    console.print(QStringLiteral("   Localized description: ") + error.localizedDescription());
    if (const APIError* apiError = error.apiError())
        console.print(QStringLiteral("   API Error: ") + apiError->description());
    if (const DecodingError* decodingError = error.decodingError()) {
        console.print(QStringLiteral("   Decoding Error Details:"));
        const QString context = decodingError->contextDescription();
        switch (decodingError->kind()) {
        case DecodingError::Kind::typeMismatch:
            console.print(QStringLiteral("     Type mismatch: expected ") + decodingError->typeName()
                + QStringLiteral(" in ") + context);
            break;
        case DecodingError::Kind::valueNotFound:
            console.print(QStringLiteral("     Value not found: ") + decodingError->typeName() + QStringLiteral(" in ")
                + context);
            break;
        case DecodingError::Kind::keyNotFound:
            console.print(
                QStringLiteral("     Key not found: ") + decodingError->key() + QStringLiteral(" in ") + context);
            break;
        case DecodingError::Kind::dataCorrupted:
            console.print(QStringLiteral("     Data corrupted: ") + context);
            break;
        }
    }
}

void NotificationsViewModel::processFetchedNotifications(
    const QList<NotificationPtr>& fetched, const QDateTime& pullMoment)
{
    NotificationRules::Merge merge = NotificationRules::merge(m_notifications, fetched);
    setNewNotificationIds(std::move(merge.newIds));
    merge.merged.removeIf([this](const NotificationPtr& n) {
        return m_readNotificationIds.contains(n->id()) || NotificationRules::isStillDone(*n, m_doneNotifications);
    });
    // Done threads GitHub has updated since are back, as in its inbox.
    const qsizetype doneBefore = m_doneNotifications.size();
    for (const NotificationPtr& notification : merge.merged)
        m_doneNotifications.remove(notification->id());
    if (m_doneNotifications.size() != doneBefore) {
        m_persistenceService.save(m_doneNotifications, PreferenceKeys::doneNotificationsKey);
        Q_EMIT doneNotificationsChanged();
    }
    setNotifications(std::move(merge.merged));
    updateRepositories();
    // GitHub has just listed these as unread.
    QSet<QString> readElsewhere = m_readElsewhereIds;
    for (const NotificationPtr& notification : fetched)
        readElsewhere.remove(notification->id());
    setReadElsewhereIds(std::move(readElsewhere));

    for (const NotificationPtr& notification : fetched) {
        m_cancellables.add(
            m_statusService.fetchState(*notification)
                .subscribe([this, notification](
                               const std::optional<QString>& state) { updateNotificationState(notification, state); },
                    [this](const RequestError& error) {
                        m_environment.console->print(
                            QStringLiteral("Error fetching state: ") + error.localizedDescription());
                        statusRequestFailed(error);
                    }));
    }

    saveCacheSoon();
    m_persistenceService.setLastPullDate(pullMoment, false);
    markStoppedWatchingRead();

    m_environment.scheduler->singleShot(
        newHighlightDuration, nullptr, [self = shared_from_this()] { self->setNewNotificationIds({}); });

    const QString count = QString::number(fetched.size());
    m_environment.console->print(QStringLiteral("Processed ") + count + QStringLiteral(" new notifications"));
    setStatusMessage(QStringLiteral("Synced ") + count + QStringLiteral(" notifications") + at());
}

void NotificationsViewModel::reconcileIfDue()
{
    std::optional<Request<QSet<QString>>> listing = m_reconciler.listingIfDue();
    if (!listing)
        return;
    QSet<QString> listedBefore;
    listedBefore.reserve(m_listedById.size());
    for (auto listed = m_listedById.keyBegin(); listed != m_listedById.keyEnd(); ++listed)
        listedBefore.insert(*listed);
    // A failed listing has said why in the debug log; everything stays as it was.
    m_cancellables.add(listing->subscribe(
        [this, listedBefore](const QSet<QString>& unread) { applyUnreadListing(listedBefore, unread); },
        [](const RequestError&) {}));
}

void NotificationsViewModel::applyUnreadListing(const QSet<QString>& listedBefore, const QSet<QString>& unread)
{
    QSet<QString> readElsewhere;
    for (const NotificationPtr& notification : m_notifications) {
        const QString& id = notification->id();
        if (listedBefore.contains(id) && !unread.contains(id))
            readElsewhere.insert(id);
    }
    setReadElsewhereIds(std::move(readElsewhere));
    if (m_removeReadElsewhere)
        removeThreadsReadElsewhere();
}

void NotificationsViewModel::removeThreadsReadElsewhere()
{
    if (m_readElsewhereIds.isEmpty())
        return;
    QList<NotificationPtr> remaining = m_notifications;
    const qsizetype removed
        = remaining.removeIf([this](const NotificationPtr& n) { return m_readElsewhereIds.contains(n->id()); });
    setNotifications(std::move(remaining));
    updateRepositories();
    saveCacheSoon();
    setReadElsewhereIds({});
    m_environment.console->print(
        QStringLiteral("Removed ") + QString::number(removed) + QStringLiteral(" notifications read elsewhere"));
}

void NotificationsViewModel::setRemoveReadElsewhere(bool remove)
{
    m_environment.preferences->setBool(PreferenceKeys::removeReadElsewhere, remove);
    if (m_removeReadElsewhere == remove)
        return;
    m_removeReadElsewhere = remove;
    Q_EMIT removeReadElsewhereChanged();
    if (remove)
        removeThreadsReadElsewhere();
}

void NotificationsViewModel::setReadElsewhereIds(QSet<QString> ids)
{
    if (m_readElsewhereIds == ids)
        return;
    m_readElsewhereIds = std::move(ids);
    m_persistenceService.save(m_readElsewhereIds, PreferenceKeys::readElsewhereKey);
    Q_EMIT readElsewhereIdsChanged();
}

void NotificationsViewModel::scheduleStatusRefresh()
{
    m_environment.scheduler->singleShot(
        statusRefreshDelay, nullptr, [self = shared_from_this()] { self->refreshPullRequestStatuses(); });
}

void NotificationsViewModel::refreshPullRequestStatuses()
{
    Console& console = *m_environment.console;
    console.print(QStringLiteral(">>> Refreshing pull request statuses..."));
    setStatusMessage(QStringLiteral("Refreshing pull request statuses") + at() + QStringLiteral("..."));

    QList<NotificationPtr> pullRequests;
    for (const NotificationPtr& notification : m_notifications) {
        if (notification->subject().type() == u"PullRequest")
            pullRequests.append(notification);
    }
    Q_EMIT statusRefreshStarted();
    if (pullRequests.isEmpty()) {
        setStatusMessage(QStringLiteral("No pull request notifications found") + at());
        setLoading(false);
        console.print(QStringLiteral("No pull request notifications to refresh"));
        return;
    }

    // Shared by this run's handlers only; a second run keeps its own count.
    struct Run
    {
        qsizetype completed = 0;
        qsizetype total = 0;
    };
    auto run = std::make_shared<Run>(Run {0, pullRequests.size()});

    m_environment.scheduler->singleShot(watchdogDelay, this, [this, run] {
        if (!isLoading() || run->completed >= run->total)
            return;
        m_environment.console->print(QStringLiteral("⚠️ PR status refresh timeout - forcing completion"));
        setLoading(false);
        setStatusMessage(QStringLiteral("Pull request status refresh timed out") + at());
    });

    const auto stateRequestEnded = [this, run] {
        if (++run->completed != run->total)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, total = run->total] {
                setStatusMessage(QStringLiteral("Refreshed ") + QString::number(total)
                    + QStringLiteral(" pull request statuses") + at());
                setLoading(false);
            },
            Qt::QueuedConnection);
    };

    for (const NotificationPtr& notification : pullRequests) {
        m_cancellables.add(m_statusService.fetchState(*notification)
                               .subscribe(
                                   [this, notification, stateRequestEnded](const std::optional<QString>& state) {
                                       updateNotificationState(notification, state);
                                       if (notification->subject().type() == u"PullRequest")
                                           refreshPullRequestDetails(notification);
                                       stateRequestEnded();
                                   },
                                   [this, notification, stateRequestEnded](const RequestError& error) {
                                       m_environment.console->print(QStringLiteral("Error fetching state for ")
                                           + notification->subject().title() + QStringLiteral(": ")
                                           + error.localizedDescription());
                                       statusRequestFailed(error);
                                       stateRequestEnded();
                                   }));
    }
}

void NotificationsViewModel::refreshPullRequestDetails(const NotificationPtr& notification)
{
    // CI and review are asked together; the words are written only when both answered,
    // and the first failure is reported once.
    struct Details
    {
        std::optional<QString> ci;
        std::optional<QString> review;
        bool failed = false;
    };
    auto details = std::make_shared<Details>();
    const auto answered = [this, notification, details] {
        if (details->ci && details->review)
            updatePullRequestDetails(notification, *details->ci, *details->review);
    };
    const auto failed = [this, notification, details](const RequestError& error) {
        statusRequestFailed(error);
        if (std::exchange(details->failed, true))
            return;
        m_environment.console->print(QStringLiteral("Error fetching PR details for ") + notification->subject().title()
            + QStringLiteral(": ") + error.localizedDescription());
    };
    m_cancellables.add(m_statusService.fetchCIStatus(*notification)
                           .subscribe(
                               [details, answered](const QString& ci) {
                                   details->ci = ci;
                                   if (!details->failed)
                                       answered();
                               },
                               failed));
    m_cancellables.add(m_statusService.fetchReviewStatus(*notification)
                           .subscribe(
                               [details, answered](const QString& review) {
                                   details->review = review;
                                   if (!details->failed)
                                       answered();
                               },
                               failed));
}

void NotificationsViewModel::updateNotificationState(
    const NotificationPtr& notification, const std::optional<QString>& state)
{
    const NotificationPtr record = listed(notification->id());
    if (!record)
        return;
    record->subject().setState(state);
    saveCacheSoon();
    Q_EMIT notificationChanged(record->id());
    Q_EMIT changed();
}

void NotificationsViewModel::updatePullRequestDetails(
    const NotificationPtr& notification, const QString& ci, const QString& review)
{
    const NotificationPtr record = listed(notification->id());
    if (!record)
        return;
    record->subject().setCiStatus(ci);
    record->subject().setReviewStatus(review);
    saveCacheSoon();
    Q_EMIT notificationChanged(record->id());
    Q_EMIT changed();
    m_environment.console->print(QStringLiteral("Updated PR details for ") + notification->subject().title()
        + QStringLiteral(": CI=") + ci + QStringLiteral(", Review=") + review);
}

void NotificationsViewModel::markAsRead(const NotificationPtr& notification)
{
    m_cancellables.add(
        m_apiService.markThreadAsRead(notification->id())
            .subscribe(
                [this, notification](std::monostate) {
                    removeReadNotification(notification);
                    m_environment.console->print(QStringLiteral("Notification marked as read successfully."));
                },
                [this](const RequestError& error) {
                    m_environment.console->print(
                        QStringLiteral("Error marking notification as read: ") + error.localizedDescription());
                }));
}

void NotificationsViewModel::removeReadNotification(const NotificationPtr& notification)
{
    const QString id = notification->id();
    QList<NotificationPtr> remaining = m_notifications;
    if (remaining.removeIf([&id](const NotificationPtr& n) { return n->id() == id; }) > 0)
        setNotifications(std::move(remaining));
    m_readNotificationIds.insert(id);
    m_persistenceService.save(m_readNotificationIds, PreferenceKeys::readNotificationsKey);
    Q_EMIT readNotificationIdsChanged();
    forgetReadElsewhere(id);
}

void NotificationsViewModel::forgetReadElsewhere(const QString& id)
{
    if (!m_readElsewhereIds.contains(id))
        return;
    QSet<QString> readElsewhere = m_readElsewhereIds;
    readElsewhere.remove(id);
    setReadElsewhereIds(std::move(readElsewhere));
}

void NotificationsViewModel::markAsDone(const NotificationPtr& notification)
{
    m_cancellables.add(
        m_apiService.markThreadAsDone(notification->id())
            .subscribe(
                [this, notification](std::monostate) {
                    removeDoneNotification(notification);
                    m_environment.console->print(QStringLiteral("Notification marked as done successfully."));
                },
                [this, notification](const RequestError& error) { reportMarkAsDoneFailure(notification, error); }));
}

void NotificationsViewModel::removeDoneNotification(const NotificationPtr& notification)
{
    const QString id = notification->id();
    QList<NotificationPtr> remaining = m_notifications;
    if (remaining.removeIf([&id](const NotificationPtr& n) { return n->id() == id; }) > 0)
        setNotifications(std::move(remaining));
    // As for read threads, the cache keeps the thread; loading it leaves it out.
    m_doneNotifications.insert(id, notification->updatedAt());
    m_persistenceService.save(m_doneNotifications, PreferenceKeys::doneNotificationsKey);
    Q_EMIT doneNotificationsChanged();
    forgetReadElsewhere(id);
}

void NotificationsViewModel::reportMarkAsDoneFailure(const NotificationPtr& notification, const RequestError& error)
{
    m_environment.console->print(QStringLiteral("Error marking notification as done: ") + error.localizedDescription());
    if (m_environment.logger) {
        m_environment.logger->log(
            QStringLiteral("Thread ") + notification->id() + QStringLiteral(" not marked done: ") + error.description(),
            LogLevel::Warning, kLogSource);
    }
    setStatusMessage(QStringLiteral("Marking \"") + notification->subject().title()
        + QStringLiteral("\" as done failed") + at() + QStringLiteral(": ") + error.localizedDescription());
}

void NotificationsViewModel::setCanMarkAsDone(bool canMarkAsDone)
{
    if (m_canMarkAsDone == canMarkAsDone)
        return;
    m_canMarkAsDone = canMarkAsDone;
    Q_EMIT canMarkAsDoneChanged();
}

void NotificationsViewModel::markCompletedAsRead()
{
    m_environment.console->print(QStringLiteral(">>> Marking completed notifications as read..."));
    QList<NotificationPtr> completed;
    for (const NotificationPtr& notification : m_notifications) {
        if (NotificationRules::isCompleted(*notification))
            completed.append(notification);
    }
    setStatusMessage(QStringLiteral("Marking ") + QString::number(completed.size())
        + QStringLiteral(" completed notifications as read..."));
    for (const NotificationPtr& notification : completed)
        markAsRead(notification);
}

void NotificationsViewModel::stopWatching(const NotificationPtr& notification)
{
    if (const std::optional<QString>& url = notification->subject().url()) {
        m_stoppedWatchingSubjects.insert(*url, m_environment.scheduler->now());
        Q_EMIT stoppedWatchingSubjectsChanged();
    }
    m_persistenceService.save(m_stoppedWatchingSubjects, PreferenceKeys::stoppedWatchingKey);
    markAsRead(notification);
}

void NotificationsViewModel::toggleFavorite(const NotificationPtr& notification)
{
    const auto starred = std::find_if(m_favorites.begin(), m_favorites.end(),
        [&](const NotificationPtr& n) { return n->id() == notification->id(); });
    if (starred == m_favorites.end())
        m_favorites.append(notification);
    else
        m_favorites.erase(starred);
    m_persistenceService.save(m_favorites, PreferenceKeys::favoritesKey);
    Q_EMIT favoritesChanged();
}

void NotificationsViewModel::markAsRead(const QList<NotificationPtr>& notifications)
{
    sendBulk(BulkProgress::Operation::MarkAsRead, notifications);
}

void NotificationsViewModel::markAsDone(const QList<NotificationPtr>& notifications)
{
    sendBulk(BulkProgress::Operation::MarkAsDone, notifications);
}

void NotificationsViewModel::stopWatching(const QList<NotificationPtr>& notifications)
{
    const QDateTime now = m_environment.scheduler->now();
    for (const NotificationPtr& notification : notifications) {
        if (const std::optional<QString>& url = notification->subject().url())
            m_stoppedWatchingSubjects.insert(*url, now);
    }
    m_persistenceService.save(m_stoppedWatchingSubjects, PreferenceKeys::stoppedWatchingKey);
    Q_EMIT stoppedWatchingSubjectsChanged();
    sendBulk(BulkProgress::Operation::StopWatching, notifications);
}

void NotificationsViewModel::sendBulk(BulkProgress::Operation operation, const QList<NotificationPtr>& notifications)
{
    auto progress = std::make_shared<BulkProgress>(operation, notifications.size());
    m_shownProgress = progress;
    setStatusMessage(progress->text());
    const bool done = operation == BulkProgress::Operation::MarkAsDone;
    for (const NotificationPtr& notification : notifications) {
        const QString& id = notification->id();
        m_cancellables.add((done ? m_apiService.markThreadAsDone(id) : m_apiService.markThreadAsRead(id))
                               .subscribe(
                                   [this, notification, progress, done](std::monostate) {
                                       progress->succeeded();
                                       (done ? m_acceptedDone : m_acceptedRead).append(notification);
                                       bulkReplied(progress);
                                   },
                                   [this, notification, progress, done](const RequestError& error) {
                                       progress->failed();
                                       if (m_environment.logger) {
                                           m_environment.logger->log(QStringLiteral("Thread ") + notification->id()
                                                   + (done ? QStringLiteral(" not marked done: ")
                                                           : QStringLiteral(" not marked read: "))
                                                   + error.description(),
                                               LogLevel::Warning, kLogSource);
                                       }
                                       bulkReplied(progress);
                                   }));
    }
}

void NotificationsViewModel::bulkReplied(const std::shared_ptr<BulkProgress>& progress)
{
    m_shownProgress = progress;
    if (std::exchange(m_bulkRepliesQueued, true))
        return;
    QMetaObject::invokeMethod(this, &NotificationsViewModel::applyBulkReplies, Qt::QueuedConnection);
}

void NotificationsViewModel::applyBulkReplies()
{
    m_bulkRepliesQueued = false;
    const QList<NotificationPtr> read = std::exchange(m_acceptedRead, {});
    const QList<NotificationPtr> done = std::exchange(m_acceptedDone, {});
    QSet<QString> leaving;
    for (const NotificationPtr& notification : read) {
        leaving.insert(notification->id());
        m_readNotificationIds.insert(notification->id());
    }
    // As for single threads, the cache keeps them; loading it leaves them out.
    for (const NotificationPtr& notification : done) {
        leaving.insert(notification->id());
        m_doneNotifications.insert(notification->id(), notification->updatedAt());
    }
    QList<NotificationPtr> remaining = m_notifications;
    if (remaining.removeIf([&leaving](const NotificationPtr& n) { return leaving.contains(n->id()); }) > 0)
        setNotifications(std::move(remaining));
    if (!read.isEmpty()) {
        m_persistenceService.save(m_readNotificationIds, PreferenceKeys::readNotificationsKey);
        Q_EMIT readNotificationIdsChanged();
    }
    if (!done.isEmpty()) {
        m_persistenceService.save(m_doneNotifications, PreferenceKeys::doneNotificationsKey);
        Q_EMIT doneNotificationsChanged();
    }
    QSet<QString> readElsewhere = m_readElsewhereIds;
    if (readElsewhere.removeIf([&leaving](const QString& id) { return leaving.contains(id); }) > 0)
        setReadElsewhereIds(std::move(readElsewhere));
    if (m_shownProgress) {
        setStatusMessage(m_shownProgress->text());
        if (m_shownProgress->isFinished())
            m_shownProgress.reset();
    }
}

void NotificationsViewModel::setFavorite(const QList<NotificationPtr>& notifications, bool favorite)
{
    QSet<QString> ids;
    for (const NotificationPtr& notification : notifications)
        ids.insert(notification->id());
    if (favorite) {
        for (const NotificationPtr& starred : std::as_const(m_favorites))
            ids.remove(starred->id());
        for (const NotificationPtr& notification : notifications) {
            if (ids.remove(notification->id()))
                m_favorites.append(notification);
        }
    } else {
        m_favorites.removeIf([&ids](const NotificationPtr& n) { return ids.contains(n->id()); });
    }
    m_persistenceService.save(m_favorites, PreferenceKeys::favoritesKey);
    Q_EMIT favoritesChanged();
}

bool NotificationsViewModel::isFavorite(const NotificationPtr& notification) const
{
    return std::any_of(m_favorites.begin(), m_favorites.end(),
        [&](const NotificationPtr& n) { return n->id() == notification->id(); });
}

QList<NotificationPtr> NotificationsViewModel::filteredNotifications() const
{
    if (!m_query.acceptsAccount(account()))
        return {};
    QSet<QString> favoriteIds;
    for (const NotificationPtr& favorite : m_favorites)
        favoriteIds.insert(favorite->id());
    return NotificationRules::filtered(m_notifications, m_selectedRepository, m_query, favoriteIds);
}

QStringList NotificationsViewModel::filterCompletions(const QString& token) const
{
    return QueryVocabulary::completions(token, NotificationRules::queryFields, [this](QueryField field) {
        if (field == QueryField::Account)
            return QStringList {account().name()};
        return NotificationRules::queryValues(m_notifications, field);
    });
}

void NotificationsViewModel::updateRepositories()
{
    QStringList repositories = NotificationRules::repositoryChoices(m_notifications);
    if (repositories == m_repositories)
        return;
    m_repositories = std::move(repositories);
    Q_EMIT repositoriesChanged();
}

void NotificationsViewModel::setSelectedRepository(const QString& repository)
{
    if (m_selectedRepository == repository)
        return;
    m_selectedRepository = repository;
    Q_EMIT selectedRepositoryChanged();
}

void NotificationsViewModel::setTextFilter(const QString& text)
{
    if (m_textFilter == text)
        return;
    m_textFilter = text;
    m_query = FeedQuery::parse(text, NotificationRules::queryFields);
    Q_EMIT textFilterChanged();
}

void NotificationsViewModel::setNotifications(QList<NotificationPtr> notifications)
{
    m_notifications = std::move(notifications);
    m_listedById.clear();
    m_listedById.reserve(m_notifications.size());
    for (const NotificationPtr& notification : m_notifications) {
        if (!m_listedById.contains(notification->id()))
            m_listedById.insert(notification->id(), notification);
    }
    Q_EMIT notificationsChanged();
}

void NotificationsViewModel::setNewNotificationIds(QSet<QString> ids)
{
    m_newNotificationIds = std::move(ids);
    Q_EMIT newNotificationIdsChanged();
}

NotificationPtr NotificationsViewModel::listed(const QString& id) const
{
    return m_listedById.value(id);
}
