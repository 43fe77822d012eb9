#include "FakeNotificationService.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

QString nextConnectionName()
{
    static int count = 0;
    return QStringLiteral("fake-notifications-%1").arg(++count);
}

} // namespace

FakeNotificationService::FakeNotificationService(QStringList capabilities)
    : m_connectionName(nextConnectionName())
    , m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName))
    , m_capabilities(std::move(capabilities))
{ }

FakeNotificationService::~FakeNotificationService()
{
    m_connection.unregisterObject(kPath);
    m_connection.unregisterService(kService);
    QDBusConnection::disconnectFromBus(m_connectionName);
}

bool FakeNotificationService::start()
{
    return m_connection.isConnected() && m_connection.registerService(kService)
        && m_connection.registerObject(kPath, this, QDBusConnection::ExportAllSlots);
}

QStringList FakeNotificationService::GetCapabilities()
{
    return m_capabilities;
}

uint FakeNotificationService::Notify(const QString& appName, uint replacesId, const QString& appIcon,
    const QString& summary, const QString& body, const QStringList& actions, const QVariantMap& hints,
    int expireTimeout)
{
    const uint id = replacesId != 0 ? replacesId : m_nextId++;
    m_calls.append({id, appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
    return id;
}

void FakeNotificationService::click(uint id, const QString& actionKey)
{
    emitSignal(QStringLiteral("ActionInvoked"), {id, actionKey});
    emitSignal(QStringLiteral("NotificationClosed"), {id, 2u});
}

void FakeNotificationService::close(uint id)
{
    emitSignal(QStringLiteral("NotificationClosed"), {id, 3u});
}

void FakeNotificationService::emitSignal(const QString& name, const QList<QVariant>& arguments)
{
    QDBusMessage message = QDBusMessage::createSignal(kPath, kService, name);
    message.setArguments(arguments);
    m_connection.send(message);
}
