#include "notifications/FeedController.h"

#include "core/DateTexts.h"
#include "core/Scheduler.h"
#include "github/RequestError.h"
#include "storage/PreferenceStore.h"

using namespace std::chrono_literals;

FeedController::FeedController(const Environment& environment, QString autoReloadKey)
    : m_environment(environment)
    , m_autoReloadKey(std::move(autoReloadKey))
    , m_autoReloadService(*environment.scheduler, *environment.console)
    , m_cacheSave(*environment.scheduler, 1s, [this] { saveCache(); })
{
    m_cancellables.setDrainedHook([this] { checkIdle(); });
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

QString FeedController::now() const
{
    return mediumDateTimeText(m_environment.scheduler->now());
}
