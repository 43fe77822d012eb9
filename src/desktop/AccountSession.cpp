#include "desktop/AccountSession.h"

#include "assignments/AssignmentsViewModel.h"
#include "core/DebugLogger.h"
#include "core/Scheduler.h"
#include "notifications/NotificationsViewModel.h"

using namespace std::chrono_literals;

namespace {

constexpr auto kSyncAfterSignIn = 500ms;

} // namespace

AccountSession::AccountSession(
    const Environment& environment, FeedController::StartUp startUp, QObject* parent, std::optional<Account> account)
    : QObject(parent)
    , m_environment(environment)
    , m_account(account.value_or(Account {QString(), environment.endpoints, QString()}))
    , m_notifications(NotificationsViewModel::create(environment, startUp))
    , m_assignments(AssignmentsViewModel::create(environment, startUp))
{
    setAccount(m_account);
    for (FeedController* feed :
        {static_cast<FeedController*>(m_notifications.get()), static_cast<FeedController*>(m_assignments.get())}) {
        connect(feed, &FeedController::needsTokenChanged, this, [this, feed] {
            if (feed->needsToken())
                Q_EMIT signInNeeded();
        });
        // With several accounts the debug log says whose sync failed; the status line
        // alone would soon show another account's.
        connect(feed, &FeedController::syncFinished, this, [this, feed](SyncOutcome outcome) {
            if (outcome != SyncOutcome::Succeeded && feed->namesAccount() && m_environment.logger)
                m_environment.logger->log(feed->statusMessage(), LogLevel::Warning, QStringLiteral("Sync"));
        });
    }
}

AccountSession::~AccountSession() = default;

void AccountSession::setAccount(const Account& account)
{
    m_account = account;
    m_notifications->setAccount(account);
    m_assignments->setAccount(account);
}

void AccountSession::setNamed(bool named)
{
    m_notifications->setNamesAccount(named);
    m_assignments->setNamesAccount(named);
}

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
