#include "desktop/NewThreadAnnouncer.h"

#include "notifications/NotificationRules.h"

#include <QPointer>

namespace {

constexpr qsizetype kListedTitles = 3;

} // namespace

NewThreadAnnouncer::NewThreadAnnouncer(
    DesktopNotifications& notifications, const GitHubEndpoints& endpoints, QObject* parent)
    : QObject(parent)
    , m_notifications(notifications)
    , m_endpoints(endpoints)
{ }

std::optional<QUrl> NewThreadAnnouncer::page(const QList<NotificationPtr>& threads) const
{
    if (threads.size() != 1)
        return std::nullopt;
    return NotificationRules::webURL(*threads.first(), m_endpoints);
}

DesktopNotifications::Message NewThreadAnnouncer::message(const QList<NotificationPtr>& threads) const
{
    const QString action = page(threads) ? tr("Open in Browser") : tr("Show Tidewhelk");
    const auto named = [this](const QString& title) {
        return m_accountName.isEmpty() ? title : tr("%1 (%2)").arg(title, m_accountName);
    };
    if (threads.size() == 1) {
        const Notification& thread = *threads.first();
        return {named(thread.repository().fullName()), thread.subject().title(), action};
    }
    QStringList titles;
    for (const NotificationPtr& thread : threads.first(std::min(threads.size(), kListedTitles)))
        titles << thread->subject().title();
    // A single thread has the message above, so English needs no text for one.
    return {named(tr("%n new notifications", nullptr, static_cast<int>(threads.size()))), titles.join(u'\n'), action};
}

void NewThreadAnnouncer::announce(const QList<NotificationPtr>& threads)
{
    if (threads.isEmpty())
        return;
    const std::optional<QUrl> url = page(threads);
    m_notifications.show(message(threads), [self = QPointer(this), url] {
        if (!self)
            return;
        if (url)
            Q_EMIT self->openRequested(*url);
        else
            Q_EMIT self->showWindowRequested();
    });
}
