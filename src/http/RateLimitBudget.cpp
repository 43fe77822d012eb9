#include "http/RateLimitBudget.h"

#include "core/DateTexts.h"
#include "core/Scheduler.h"

#include <QCryptographicHash>
#include <QTimeZone>

#include <chrono>

using namespace std::chrono_literals;

namespace {

// GitHub counts the reset in whole seconds, and its clock and ours may differ a little.
constexpr auto kResumeMargin = 1s;

} // namespace

RateLimitBudget::RateLimitBudget(Scheduler& scheduler, QObject* parent)
    : QObject(parent)
    , m_scheduler(scheduler)
{ }

QByteArray RateLimitBudget::keyOf(const QByteArray& credential)
{
    // Kept in memory only, still no copy of the token.
    return QCryptographicHash::hash(credential, QCryptographicHash::Sha256);
}

void RateLimitBudget::record(const QByteArray& credential, const HeaderList& replyHeaders)
{
    // Search and GraphQL have budgets of their own; the requests sent here use "core".
    const std::optional<QByteArray> resource = replyHeaders.value("X-RateLimit-Resource");
    if (resource && *resource != "core")
        return;
    const std::optional<qint64> limit = replyHeaders.integer("X-RateLimit-Limit");
    const std::optional<qint64> remaining = replyHeaders.integer("X-RateLimit-Remaining");
    const std::optional<qint64> reset = replyHeaders.integer("X-RateLimit-Reset");
    if (!limit || !remaining || !reset || *limit <= 0)
        return;
    const QDateTime resetAt = QDateTime::fromSecsSinceEpoch(*reset, QTimeZone::utc());

    const QByteArray key = keyOf(credential);
    Window& window = m_windows[key];
    // Replies overtake each other: within a window the lowest count is the latest.
    if (window.reset.isValid() && resetAt < window.reset)
        return;
    if (resetAt == window.reset)
        window.remaining = std::min<int>(window.remaining, static_cast<int>(*remaining));
    else
        window.remaining = static_cast<int>(*remaining);
    window.limit = static_cast<int>(*limit);
    window.reset = resetAt;

    const QDateTime now = m_scheduler.now();
    if (window.pause || window.remaining >= window.limit / 10 || resetAt <= now)
        return;
    const QDateTime until = resetAt.addSecs(std::chrono::seconds(kResumeMargin).count());
    window.pause = Pause {now, until};
    window.resumeTimer = m_scheduler.start(std::chrono::milliseconds(now.msecsTo(until)), [this, key] { resume(key); });
    Q_EMIT paused(*window.pause);
}

void RateLimitBudget::resume(const QByteArray& key)
{
    Window& window = m_windows[key];
    window.pause.reset();
    // A new window: full until a reply says otherwise.
    window.remaining = window.limit;
    Q_EMIT resumed();
}

bool RateLimitBudget::holds(const QByteArray& credential) const
{
    const auto window = m_windows.find(keyOf(credential));
    return window != m_windows.end() && window->second.pause.has_value();
}

std::optional<RateLimitBudget::Pause> RateLimitBudget::pause() const
{
    std::optional<Pause> latest;
    for (const auto& [key, window] : m_windows) {
        if (window.pause && (!latest || window.pause->until > latest->until))
            latest = window.pause;
    }
    return latest;
}

QString RateLimitBudget::pauseText(const Pause& pause)
{
    return QStringLiteral("Paused at ") + mediumDateTimeText(pause.since)
        + QStringLiteral(": GitHub's rate limit is nearly used up; resuming at ") + mediumDateTimeText(pause.until);
}

QString RateLimitBudget::resumeText(const QDateTime& resumedAt)
{
    return QStringLiteral("Resumed at ") + mediumDateTimeText(resumedAt)
        + QStringLiteral(": GitHub's rate limit has been reset");
}
