#pragma once

#include "core/Subscription.h"
#include "core/SyncOutcome.h"
#include "core/ThrottledTask.h"
#include "feeds/AutoReloadService.h"
#include "feeds/SavedViews.h"
#include "storage/Account.h"
#include "storage/Environment.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <optional>

class RequestError;

// What the two feed controllers share: the loading flag and status line, the sign-in
// flag, the auto-reload switch with its five-minute timer, the live requests, and the
// throttled rewrite of the cached list. A controller supplies what its cache holds and
// what a timer tick does.
class FeedController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(bool needsToken READ needsToken WRITE setNeedsToken NOTIFY needsTokenChanged)
    Q_PROPERTY(bool autoReload READ autoReload WRITE setAutoReload NOTIFY autoReloadChanged)

public:
    // When a controller runs its start-up (reading its cache, then the first sync): as it
    // is created, or when start() is called (the window paints first, then reads).
    enum class StartUp {
        Now,
        OnStart,
    };

    // Runs the start-up, once.
    void start();

    bool isLoading() const { return m_isLoading; }
    // Null when there is no status line.
    const QString& statusMessage() const { return m_statusMessage; }
    // A sync or an added item needs a valid token; the main window resets it.
    bool needsToken() const { return m_needsToken; }
    void setNeedsToken(bool needsToken);
    bool autoReload() const { return m_autoReload; }
    // Every assignment applies the switch and stores it, also when the value is unchanged.
    void setAutoReload(bool autoReload);

    // The filter queries the user keeps under names for this feed.
    SavedViews& savedViews() const { return *m_savedViews; }

    // A request this controller started has not answered yet.
    bool hasRequestsInFlight() const { return m_cancellables.hasPending(); }
    // Hands a cache save still waiting for its turn to the preference store now.
    void flushPendingSaves() { m_cacheSave.flush(); }
    // The next requests read the stored token again instead of a cached copy: the user
    // has just signed in.
    virtual void forgetCachedToken() = 0;
    // The account whose records this feed lists, which the filter's `account:` names; by
    // default the environment's server, its login unknown.
    const Account& account() const { return m_account; }
    void setAccount(const Account& account) { m_account = account; }
    // The status lines name the account ("login · host"): while the window shows several.
    bool namesAccount() const { return m_namesAccount; }
    void setNamesAccount(bool names) { m_namesAccount = names; }
    // Status requests of this controller that failed other than as the feed expects
    // (see statusRequestFailed), since it was created.
    int failedStatusRequests() const { return m_failedStatusRequests; }

Q_SIGNALS:
    void isLoadingChanged();
    void statusMessageChanged();
    void needsTokenChanged();
    void autoReloadChanged();
    // A listed record changed in place.
    void changed();
    // A sync's request ended, after its results were applied.
    void syncFinished(SyncOutcome outcome);
    // The status refresh that follows a successful sync began.
    void statusRefreshStarted();
    // The last request this controller started has ended and its handler has run, and
    // none is in flight any more.
    void idle();

protected:
    // `autoReloadKey` is where the switch is stored, `views` where the saved views are,
    // with the ones a new user finds.
    FeedController(const Environment& environment, QString autoReloadKey, SavedViews::Storage views);

    // A revoked or wrong token fails like a missing one: the user has to sign in again.
    static bool needsSignIn(const RequestError& error);

    void setLoading(bool loading);
    void setStatusMessage(const QString& message);
    // The end of a status line: " at " and now, medium date and time in the user's
    // locale; " for LOGIN · HOST at …" while the feed names its account.
    QString at() const;
    // Rewrites the cached list at the end of this turn, then at most once a second
    // while changes keep coming: status answers arrive one by one, and rewriting the
    // whole list for each would cost time quadratic in its length.
    void saveCacheSoon() { m_cacheSave.request(); }

    // Counts a failed status request, unless it failed as the feed expects: the
    // subject is gone (404, 410), or the record names no address to ask (a check
    // suite's thread), so nothing was sent.
    void statusRequestFailed(const RequestError& error);

    // Reads the cache, starts the first sync and whatever else the controller does first.
    virtual void startUp() = 0;
    // Stores the controller's list. Derived destructors call flushPendingSaves().
    virtual void saveCache() = 0;
    // One tick of the auto-reload timer, while the controller exists.
    virtual void autoReloadTriggered() = 0;

    Environment m_environment;
    SubscriptionSet m_cancellables;

private:
    void updateAutoReload();
    // After sleep or a network outage, an auto-syncing feed whose last sync is older
    // than its interval syncs once, shortly after.
    void catchUpAfterWake();
    void checkIdle();
    // While GitHub's rate limit holds status requests, a controller waiting for some
    // says so in its status line, and shows its own line again when they go on.
    void showRateLimitPause();
    void endRateLimitPause();

    QString m_autoReloadKey;
    SavedViews* m_savedViews;
    AutoReloadService m_autoReloadService;
    ThrottledTask m_cacheSave;
    bool m_isLoading = false;
    QString m_statusMessage;
    bool m_needsToken = false;
    bool m_autoReload = false;
    bool m_catchUpPending = false;
    std::optional<QDateTime> m_lastSyncEnded;
    bool m_idleCheckPending = false;
    bool m_started = false;
    int m_failedStatusRequests = 0;
    QString m_pauseLine;
    Account m_account;
    bool m_namesAccount = false;
    QString m_lineBeforePause;
};
