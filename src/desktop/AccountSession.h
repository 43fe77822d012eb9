#pragma once

#include "feeds/FeedController.h"
#include "storage/Environment.h"

#include <QObject>

#include <memory>

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
    AccountSession(const Environment& environment, FeedController::StartUp startUp, QObject* parent = nullptr);
    ~AccountSession() override;

    const Environment& environment() const { return m_environment; }
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
    std::shared_ptr<NotificationsViewModel> m_notifications;
    std::shared_ptr<AssignmentsViewModel> m_assignments;
};
