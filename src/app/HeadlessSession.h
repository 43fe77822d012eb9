#pragma once

#include "core/SyncOutcome.h"
#include "storage/Environment.h"

#include <QObject>

#include <memory>
#include <optional>

class AccountSession;
class FeedController;

// `tidewhelk --headless`: the account's feeds as the main window runs them, without a
// window, their console lines on standard output. With `once`, it waits for each
// feed's first sync, the status refresh that follows it and every request they
// started, flushes the preference store and reports: 2 when either sync needs a valid
// token (none stored, or refused); 1 when a sync failed, or a status request failed
// other than as the feeds expect (FeedController::statusRequestFailed: a time-out
// counts, a deleted subject does not); 0 otherwise. Without it,
// it keeps running (the stored auto-reload switches apply) until SIGINT or SIGTERM.
class HeadlessSession : public QObject
{
    Q_OBJECT

public:
    HeadlessSession(const Environment& environment, bool once, QObject* parent = nullptr);
    ~HeadlessSession() override;

    void start();
    void cancel(int signalNumber);

Q_SIGNALS:
    void finished(int exitCode);

private:
    // One feed's way through its first sync and the refresh after it.
    struct Feed
    {
        FeedController* controller = nullptr;
        std::optional<SyncOutcome> outcome;
        bool refreshStarted = false;

        bool isDone() const;
    };

    void watch(FeedController& controller, Feed& feed);
    // Checks on a later turn, after the work the last replies queued has run.
    void checkDoneSoon();
    void checkDone();
    void finish(int exitCode);

    Environment m_environment;
    bool m_once;
    std::unique_ptr<AccountSession> m_session;
    Feed m_notificationsFeed;
    Feed m_assignmentsFeed;
    bool m_finished = false;
};
