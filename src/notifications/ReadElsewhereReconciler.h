#pragma once

#include "github/RequestError.h"
#include "storage/Environment.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class GitHubAPIService;

// Decides when the notifications controller lists every thread GitHub holds unread,
// so that it can tell which of its threads the user read elsewhere (on github.com, in
// another client, by e-mail), and runs that listing. The incremental sync never hears
// of a thread read elsewhere; a listing of up to hundreds of pages costs little only
// because unchanged pages are revalidated, so it runs at most once every ten minutes,
// unless the user asks for a Re-sync. It gives up (and leaves everything as it was)
// when GitHub's rate limit pauses requests, before or while it runs: what is left of
// the budget belongs to the feeds and the user's own actions.
class ReadElsewhereReconciler : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::minutes spacing {10};

    ReadElsewhereReconciler(const Environment& environment, GitHubAPIService& api, QObject* parent = nullptr);

    // The next listingIfDue() lists even within the spacing.
    void requestListing() { m_requested = true; }

    // The ids of every unread thread, when a listing is due: asked for, or none started
    // for ten minutes, and none running. Fails, after a debug-log line saying why, when
    // a page failed, did not decode, or the rate limit paused requests meanwhile.
    std::optional<Request<QSet<QString>>> listingIfDue();

private:
    void log(const QString& why) const;
    void rateLimitPaused();

    Environment m_environment;
    GitHubAPIService& m_api;
    bool m_requested = false;
    std::optional<QDateTime> m_lastStarted;
    // Gives up the running listing; empty while none runs.
    std::function<void()> m_giveUp;
};
