#pragma once

#include "core/TimerHandle.h"
#include "http/HeaderList.h"

#include <QDateTime>
#include <QObject>

#include <map>
#include <optional>

class Scheduler;

// GitHub's hourly request budget, per credential, as the replies report it
// (X-RateLimit-Limit, -Remaining and -Reset). Once fewer than a tenth of the requests
// are left, status requests that would cost one wait until the window resets, so that
// the lists and the user's own actions keep working; the budget resumes them by
// itself at the reset. Owned by HttpTransport.
class RateLimitBudget final : public QObject
{
    Q_OBJECT

public:
    // A pause: when it began and when the held requests go on.
    struct Pause
    {
        QDateTime since;
        QDateTime until;
    };

    explicit RateLimitBudget(Scheduler& scheduler, QObject* parent = nullptr);

    // Takes note of a reply sent with `credential` (the request's Authorization value).
    void record(const QByteArray& credential, const HeaderList& replyHeaders);

    // Status requests of `credential` that would cost a request wait.
    bool holds(const QByteArray& credential) const;

    // The pause that ends last, if any credential is paused.
    std::optional<Pause> pause() const;

    // "Paused at D: GitHub's rate limit is nearly used up; resuming at T", the status
    // line and debug-log entry of a pause.
    static QString pauseText(const Pause& pause);
    static QString resumeText(const QDateTime& resumedAt);

Q_SIGNALS:
    void paused(const RateLimitBudget::Pause& pause);
    void resumed();

private:
    struct Window
    {
        int limit = 0;
        int remaining = 0;
        QDateTime reset;
        std::optional<Pause> pause;
        TimerHandle resumeTimer;
    };

    static QByteArray keyOf(const QByteArray& credential);
    void resume(const QByteArray& key);

    Scheduler& m_scheduler;
    std::map<QByteArray, Window> m_windows;
};
