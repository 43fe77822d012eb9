#include "HeadlessSession.h"

#include "assignments/AssignmentsViewModel.h"
#include "desktop/AccountSession.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/PreferenceStore.h"

#include <QMetaObject>

#include <algorithm>

namespace {

constexpr int kNeedsSignInExit = 2;
constexpr int kFailedExit = 1;

} // namespace

bool HeadlessSession::Feed::isDone() const
{
    if (!outcome || (*outcome == SyncOutcome::Succeeded && !refreshStarted))
        return false;
    return !controller->hasRequestsInFlight();
}

int HeadlessSession::AccountRun::exitCode() const
{
    const SyncOutcome notificationsOutcome = *notifications.outcome;
    const SyncOutcome assignmentsOutcome = *assignments.outcome;
    if (notificationsOutcome == SyncOutcome::NeedsSignIn || assignmentsOutcome == SyncOutcome::NeedsSignIn)
        return kNeedsSignInExit;
    if (notificationsOutcome == SyncOutcome::Failed || assignmentsOutcome == SyncOutcome::Failed
        || session->notifications().failedStatusRequests() + session->assignments().failedStatusRequests() > 0)
        return kFailedExit;
    return 0;
}

HeadlessSession::HeadlessSession(const QList<Environment>& environments, bool once, QObject* parent)
    : QObject(parent)
    , m_once(once)
{
    for (const Environment& environment : environments) {
        m_runs.push_back(std::make_unique<AccountRun>());
        m_runs.back()->environment = environment;
    }
}

HeadlessSession::~HeadlessSession() = default;

void HeadlessSession::start()
{
    for (const std::unique_ptr<AccountRun>& run : m_runs) {
        run->session = std::make_unique<AccountSession>(run->environment, FeedController::StartUp::Now);
        if (!m_once)
            continue;
        watch(run->session->notifications(), run->notifications);
        watch(run->session->assignments(), run->assignments);
    }
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
    if (m_finished || !std::all_of(m_runs.cbegin(), m_runs.cend(), [](const std::unique_ptr<AccountRun>& run) {
            return run->isDone();
        }))
        return;
    // Signing in (2) outranks a failure (1), in any account.
    int exitCode = 0;
    for (const std::unique_ptr<AccountRun>& run : m_runs)
        exitCode = std::max(exitCode, run->exitCode());
    finish(exitCode);
}

void HeadlessSession::cancel(int signalNumber)
{
    finish(m_once ? 128 + signalNumber : 0);
}

void HeadlessSession::finish(int exitCode)
{
    if (std::exchange(m_finished, true))
        return;
    for (const std::unique_ptr<AccountRun>& run : m_runs) {
        if (run->session)
            run->session->flushPendingSaves();
        run->environment.preferences->flush();
    }
    Q_EMIT finished(exitCode);
}
