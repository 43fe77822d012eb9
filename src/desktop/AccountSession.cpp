#include "desktop/AccountSession.h"

#include "assignments/AssignmentsViewModel.h"
#include "core/Scheduler.h"
#include "notifications/NotificationsViewModel.h"

using namespace std::chrono_literals;

namespace {

constexpr auto kSyncAfterSignIn = 500ms;

} // namespace

AccountSession::AccountSession(const Environment& environment, FeedController::StartUp startUp, QObject* parent)
    : QObject(parent)
    , m_environment(environment)
    , m_notifications(NotificationsViewModel::create(environment, startUp))
    , m_assignments(AssignmentsViewModel::create(environment, startUp))
{
    for (FeedController* feed :
        {static_cast<FeedController*>(m_notifications.get()), static_cast<FeedController*>(m_assignments.get())}) {
        connect(feed, &FeedController::needsTokenChanged, this, [this, feed] {
            if (feed->needsToken())
                Q_EMIT signInNeeded();
        });
    }
}

AccountSession::~AccountSession() = default;

void AccountSession::start()
{
    m_notifications->start();
    m_assignments->start();
}

void AccountSession::resumeAfterSignIn()
{
    m_notifications->setNeedsToken(false);
    m_assignments->setNeedsToken(false);
    m_notifications->forgetCachedToken();
    m_assignments->forgetCachedToken();
    m_environment.scheduler->singleShot(kSyncAfterSignIn, this, [this] {
        m_notifications->syncNotifications();
        m_assignments->syncAssignments();
    });
}

void AccountSession::flushPendingSaves()
{
    m_notifications->flushPendingSaves();
    m_assignments->flushPendingSaves();
}
