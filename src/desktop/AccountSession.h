#pragma once

#include "feeds/FeedController.h"
#include "storage/Account.h"
#include "storage/Environment.h"

#include <QObject>

#include <memory>
#include <optional>

class AssignmentsViewModel;
class NotificationsViewModel;

// One GitHub account's live feeds: its notifications and assignments controllers with
// the REST clients they own. The window's application or the headless run creates it
// and hands it to the views, the status-area icon, desktop notifications and the
// hand-over from a second launch; none of them builds controllers of its own.
class AccountSession : public QObject
{
    Q_OBJECT

public:
    // `account` is whose the feeds are; by default the first account, on the environment's
    // server, its login unknown.
    AccountSession(const Environment& environment, FeedController::StartUp startUp, QObject* parent = nullptr,
        std::optional<Account> account = std::nullopt);
    ~AccountSession() override;

    const Environment& environment() const { return m_environment; }
    const Account& account() const { return m_account; }
    // The same account, better known: its login was read since.
    void setAccount(const Account& account);
    // "login · host", or the host alone while the login is unknown.
    QString label() const { return m_account.label(); }
    // Names the account in both feeds' status lines (while the window shows several), or
    // no longer.
    void setNamed(bool named);
    NotificationsViewModel& notifications() const { return *m_notifications; }
    AssignmentsViewModel& assignments() const { return *m_assignments; }

    // Runs both controllers' start-up (reading the caches, then the first sync), once.
    void start();
    // After the sign-in sheet closed: both feeds clear their sign-in request, read the
    // stored token afresh (not after the clients' five-minute cache) and sync half a
    // second later.
    void resumeAfterSignIn();
    // Writes the caches now instead of at the end of their throttle.
    void flushPendingSaves();

Q_SIGNALS:
    // Either feed found no usable token: the account needs signing in.
    void signInNeeded();

private:
    Environment m_environment;
    Account m_account;
    std::shared_ptr<NotificationsViewModel> m_notifications;
    std::shared_ptr<AssignmentsViewModel> m_assignments;
};
