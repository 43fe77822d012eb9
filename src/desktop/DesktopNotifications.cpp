#include "desktop/DesktopNotifications.h"

#include "core/DebugLogger.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString kInterface = QLatin1String(DesktopNotifications::serviceName);
const QString kDefaultAction = QStringLiteral("default");

QDBusMessage call(const QString& method)
{
    return QDBusMessage::createMethodCall(QLatin1String(DesktopNotifications::serviceName),
        QLatin1String(DesktopNotifications::objectPath), kInterface, method);
}

} // namespace

DesktopNotifications::DesktopNotifications(DebugLogger& logger, const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_logger(logger)
    , m_bus(bus)
{
    const QString service = QLatin1String(serviceName);
    const QString path = QLatin1String(objectPath);
    m_bus.connect(service, path, kInterface, QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
    m_bus.connect(
        service, path, kInterface, QStringLiteral("NotificationClosed"), this, SLOT(notificationClosed(uint, uint)));
}

void DesktopNotifications::show(const Message& message, std::function<void()> activated)
{
    Pending pending {message, std::move(activated)};
    if (m_capabilities) {
        notify(pending);
        return;
    }
    m_waiting.append(std::move(pending));
    askCapabilities();
}

void DesktopNotifications::askCapabilities()
{
    if (m_asking)
        return;
    if (!m_bus.isConnected()) {
        unavailable(QStringLiteral("no session bus"));
        return;
    }
    m_asking = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        m_asking = false;
        const QDBusPendingReply<QStringList> reply = *finished;
        if (reply.isError()) {
            unavailable(reply.error().message());
            return;
        }
        m_capabilities = reply.value();
        for (const Pending& pending : std::exchange(m_waiting, {}))
            notify(pending);
    });
}

void DesktopNotifications::notify(const Pending& pending)
{
    const Message& message = pending.message;
    // Services that read markup would take "<T>" or "&" in a title for markup.
    const bool markup = m_capabilities->contains(QStringLiteral("body-markup"));
    QDBusMessage notify = call(QStringLiteral("Notify"));
    notify << QStringLiteral("Tidewhelk") << 0u << QStringLiteral(TIDEWHELK_APP_ID) << message.summary
           << (markup ? message.body.toHtmlEscaped() : message.body)
           << QStringList {kDefaultAction, message.actionLabel}
           << QVariantMap {{QStringLiteral("desktop-entry"), QStringLiteral(TIDEWHELK_APP_ID)}} << -1;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, activated = pending.activated](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            const QDBusPendingReply<uint> reply = *finished;
            if (reply.isError()) {
                // The service went away since it answered: ask again next time.
                m_capabilities.reset();
                unavailable(reply.error().message());
                return;
            }
            m_activations.insert(reply.value(), activated);
        });
}

void DesktopNotifications::actionInvoked(uint id, const QString& actionKey)
{
    // The service reports the actions of every application's notifications.
    const auto found = m_activations.constFind(id);
    if (found == m_activations.constEnd() || actionKey != kDefaultAction)
        return;
    const std::function<void()> activated = *found;
    m_activations.erase(found);
    activated();
}

void DesktopNotifications::notificationClosed(uint id, uint)
{
    m_activations.remove(id);
}

void DesktopNotifications::unavailable(const QString& reason)
{
    m_waiting.clear();
    if (std::exchange(m_reportedUnavailable, true))
        return;
    m_logger.log(
        QStringLiteral("No desktop notifications: ") + reason, LogLevel::Debug, QStringLiteral("Notifications"));
}
