#include "feeds/FeedController.h"

#include "core/DateTexts.h"
#include "core/Scheduler.h"
#include "core/WakeWatcher.h"
#include "github/RequestError.h"
#include "http/HttpTransport.h"
#include "storage/PreferenceStore.h"

using namespace std::chrono_literals;

namespace {

// The network needs a moment after a resume before requests get through.
constexpr auto kCatchUpDelay = 5s;

} // namespace

FeedController::FeedController(const Environment& environment, QString autoReloadKey, SavedViews::Storage views)
    : m_environment(environment)
    , m_autoReloadKey(std::move(autoReloadKey))
    , m_savedViews(new SavedViews(environment, std::move(views), this))
    , m_autoReloadService(*environment.scheduler, *environment.console)
    , m_cacheSave(*environment.scheduler, 1s, [this] { saveCache(); })
    , m_account {QString(), environment.endpoints, QString()}
{
    m_cancellables.setDrainedHook([this] { checkIdle(); });
    connect(this, &FeedController::syncFinished, this, [this] { m_lastSyncEnded = m_environment.scheduler->now(); });
    if (WakeWatcher* wake = environment.wake)
        connect(wake, &WakeWatcher::woke, this, &FeedController::catchUpAfterWake);
    if (HttpTransport* http = environment.http) {
        m_autoReloadService.setMinimumInterval(http->pollInterval());
        connect(http, &HttpTransport::pollIntervalChanged, this,
            [this, http] { m_autoReloadService.setMinimumInterval(http->pollInterval()); });
        connect(http, &HttpTransport::rateLimitPaused, this, &FeedController::showRateLimitPause);
        connect(http, &HttpTransport::rateLimitResumed, this, &FeedController::endRateLimitPause);
        // Queued: the refresh sends its requests after announcing itself.
        connect(this, &FeedController::statusRefreshStarted, this, &FeedController::showRateLimitPause,
            Qt::QueuedConnection);
    }
}

void FeedController::statusRequestFailed(const RequestError& error)
{
    const APIError* apiError = error.apiError();
    if (error.isGone() || (apiError && apiError->kind() == APIError::Kind::invalidURL))
        return;
    ++m_failedStatusRequests;
}

void FeedController::showRateLimitPause()
{
    const std::optional<RateLimitBudget::Pause> pause = m_environment.http->rateLimitPause();
    if (!pause || !hasRequestsInFlight())
        return;
    const QString line = RateLimitBudget::pauseText(*pause);
    if (m_statusMessage == line)
        return;
    if (m_pauseLine.isNull() || m_statusMessage != m_pauseLine)
        m_lineBeforePause = m_statusMessage;
    m_pauseLine = line;
    setStatusMessage(line);
}

void FeedController::endRateLimitPause()
{
    if (!m_pauseLine.isNull() && m_statusMessage == m_pauseLine)
        setStatusMessage(m_lineBeforePause);
    m_pauseLine = QString();
    m_lineBeforePause = QString();
}

void FeedController::start()
{
    if (!std::exchange(m_started, true))
        startUp();
}

void FeedController::checkIdle()
{
    if (std::exchange(m_idleCheckPending, true))
        return;
    // The hook runs as the last request ends, before its handler, which may send more.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_idleCheckPending = false;
            if (!m_cancellables.hasPending())
                Q_EMIT idle();
        },
        Qt::QueuedConnection);
}

bool FeedController::needsSignIn(const RequestError& error)
{
    return error.isNoToken() || error.isUnauthorized();
}

void FeedController::setNeedsToken(bool needsToken)
{
    if (m_needsToken == needsToken)
        return;
    m_needsToken = needsToken;
    Q_EMIT needsTokenChanged();
}

void FeedController::setAutoReload(bool autoReload)
{
    if (m_autoReload != autoReload) {
        m_autoReload = autoReload;
        Q_EMIT autoReloadChanged();
    }
    updateAutoReload();
    m_environment.preferences->setBool(m_autoReloadKey, m_autoReload);
}

void FeedController::updateAutoReload()
{
    if (!m_autoReload) {
        m_autoReloadService.stopAutoReload();
        return;
    }
    // The timer belongs to this controller: no tick comes once it is gone.
    m_autoReloadService.startAutoReload([this] { autoReloadTriggered(); });
    if (WakeWatcher* wake = m_environment.wake)
        wake->watchSystem();
}

void FeedController::catchUpAfterWake()
{
    if (!m_autoReload || m_catchUpPending)
        return;
    const QDateTime now = m_environment.scheduler->now();
    if (m_lastSyncEnded && m_lastSyncEnded->secsTo(now) < m_autoReloadService.currentInterval().count())
        return;
    m_catchUpPending = true;
    m_environment.scheduler->singleShot(kCatchUpDelay, this, [this] {
        m_catchUpPending = false;
        m_autoReloadService.tickNow();
    });
}

void FeedController::setLoading(bool loading)
{
    if (m_isLoading == loading)
        return;
    m_isLoading = loading;
    Q_EMIT isLoadingChanged();
}

void FeedController::setStatusMessage(const QString& message)
{
    m_statusMessage = message;
    Q_EMIT statusMessageChanged();
}

QString FeedController::at() const
{
    const QString time = mediumDateTimeText(m_environment.scheduler->now());
    if (!m_namesAccount)
        return QStringLiteral(" at ") + time;
    return QStringLiteral(" for ") + m_account.label() + QStringLiteral(" at ") + time;
}
