#include "HeadlessSession.h"

#include "assignments/AssignmentsViewModel.h"
#include "desktop/AccountSession.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/PreferenceStore.h"

#include <QMetaObject>

namespace {

int exitCode(SyncOutcome notifications, SyncOutcome assignments, int failedStatusRequests)
{
    if (notifications == SyncOutcome::NeedsSignIn || assignments == SyncOutcome::NeedsSignIn)
        return 2;
    if (notifications == SyncOutcome::Failed || assignments == SyncOutcome::Failed || failedStatusRequests > 0)
        return 1;
    return 0;
}

} // namespace

bool HeadlessSession::Feed::isDone() const
{
    if (!outcome || (*outcome == SyncOutcome::Succeeded && !refreshStarted))
        return false;
    return !controller->hasRequestsInFlight();
}

HeadlessSession::HeadlessSession(const Environment& environment, bool once, QObject* parent)
    : QObject(parent)
    , m_environment(environment)
    , m_once(once)
{ }

HeadlessSession::~HeadlessSession() = default;

void HeadlessSession::start()
{
    m_session = std::make_unique<AccountSession>(m_environment, FeedController::StartUp::Now);
    if (!m_once)
        return;
    watch(m_session->notifications(), m_notificationsFeed);
    watch(m_session->assignments(), m_assignmentsFeed);
}

void HeadlessSession::watch(FeedController& controller, Feed& feed)
{
    feed.controller = &controller;
    connect(&controller, &FeedController::syncFinished, this, [this, &feed](SyncOutcome outcome) {
        if (!feed.outcome)
            feed.outcome = outcome;
        checkDoneSoon();
    });
    connect(&controller, &FeedController::statusRefreshStarted, this, [this, &feed] {
        feed.refreshStarted = true;
        checkDoneSoon();
    });
    connect(&controller, &FeedController::idle, this, &HeadlessSession::checkDoneSoon);
}

void HeadlessSession::checkDoneSoon()
{
    QMetaObject::invokeMethod(this, &HeadlessSession::checkDone, Qt::QueuedConnection);
}

void HeadlessSession::checkDone()
{
    if (m_finished || !m_notificationsFeed.isDone() || !m_assignmentsFeed.isDone())
        return;
    finish(exitCode(*m_notificationsFeed.outcome, *m_assignmentsFeed.outcome,
        m_session->notifications().failedStatusRequests() + m_session->assignments().failedStatusRequests()));
}

void HeadlessSession::cancel(int signalNumber)
{
    finish(m_once ? 128 + signalNumber : 0);
}

void HeadlessSession::finish(int exitCode)
{
    if (std::exchange(m_finished, true))
        return;
    if (m_session)
        m_session->flushPendingSaves();
    m_environment.preferences->flush();
    Q_EMIT finished(exitCode);
}
