#include "notifications/ReadElsewhereReconciler.h"

#include "core/DebugLogger.h"
#include "core/Scheduler.h"
#include "github/GitHubAPIService.h"
#include "http/HttpTransport.h"

namespace {

const QString kReconcilerLogSource = QStringLiteral("ReadElsewhere");

} // namespace

ReadElsewhereReconciler::ReadElsewhereReconciler(const Environment& environment, GitHubAPIService& api, QObject* parent)
    : QObject(parent)
    , m_environment(environment)
    , m_api(api)
{
    if (HttpTransport* http = environment.http)
        connect(http, &HttpTransport::rateLimitPaused, this, &ReadElsewhereReconciler::rateLimitPaused);
}

std::optional<Request<QSet<QString>>> ReadElsewhereReconciler::listingIfDue()
{
    const QDateTime now = m_environment.scheduler->now();
    const bool spaced = !m_lastStarted || m_lastStarted->msecsTo(now) >= std::chrono::milliseconds(spacing).count();
    if (m_giveUp || !(m_requested || spaced))
        return std::nullopt;
    if (m_environment.http && m_environment.http->rateLimitPause()) {
        log(QStringLiteral("Unread threads not listed: GitHub's rate limit is nearly used up"));
        return std::nullopt;
    }
    m_requested = false;
    m_lastStarted = now;

    const Request<QSet<QString>> listing = m_api.fetchUnreadThreadIds();
    return Request<QSet<QString>>([this, listing](const Promise<QSet<QString>, RequestError>& promise) {
        m_giveUp = [promise] { promise.reject(APIError::invalidResponse(QStringLiteral("rate limit paused"))); };
        promise.onCancel([this] { m_giveUp = nullptr; });
        promise.keep(listing.subscribe(
            [this, promise](const QSet<QString>& unread) {
                m_giveUp = nullptr;
                promise.resolve(unread);
            },
            [this, promise](RequestError error) {
                m_giveUp = nullptr;
                log(QStringLiteral("Unread threads not listed, nothing marked: ") + error.description());
                promise.reject(std::move(error));
            }));
    });
}

void ReadElsewhereReconciler::rateLimitPaused()
{
    if (!m_giveUp)
        return;
    log(QStringLiteral("Listing of unread threads given up, nothing marked: GitHub's rate limit is nearly used up"));
    std::exchange(m_giveUp, nullptr)();
}

void ReadElsewhereReconciler::log(const QString& why) const
{
    if (m_environment.logger)
        m_environment.logger->log(why, LogLevel::Warning, kReconcilerLogSource);
}
