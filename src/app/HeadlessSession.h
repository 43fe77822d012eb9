#pragma once

#include "core/SyncOutcome.h"
#include "storage/Environment.h"

#include <QList>
#include <QObject>

#include <memory>
#include <optional>
#include <vector>

class AccountSession;
class FeedController;

// `tidewhelk --headless`: the accounts' feeds as the main window runs them, without a
// window, their console lines on standard output. Each account runs on its own
// environment, so one account's failure never stops another's. With `once`, it waits
// for each feed's first sync, the status refresh that follows it and every request
// they started, flushes the preference stores and reports: 2 when any sync needs a
// valid token (none stored, or refused); 1 when a sync failed, or a status request
// failed other than as the feeds expect (FeedController::statusRequestFailed: a
// time-out counts, a deleted subject does not); 0 otherwise. Without it, it keeps
// running (the stored auto-reload switches apply) until SIGINT or SIGTERM.
class HeadlessSession : public QObject
{
    Q_OBJECT

public:
    // One environment per account to run.
    HeadlessSession(const QList<Environment>& environments, bool once, QObject* parent = nullptr);
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

    // One account's session and the way of its two feeds.
    struct AccountRun
    {
        Environment environment;
        std::unique_ptr<AccountSession> session;
        Feed notifications;
        Feed assignments;

        bool isDone() const { return notifications.isDone() && assignments.isDone(); }
        int exitCode() const;
    };

    void watch(FeedController& controller, Feed& feed);
    // Checks on a later turn, after the work the last replies queued has run.
    void checkDoneSoon();
    void checkDone();
    void finish(int exitCode);

    bool m_once;
    // Kept in place: the feeds' connections point at them.
    std::vector<std::unique_ptr<AccountRun>> m_runs;
    bool m_finished = false;
};
