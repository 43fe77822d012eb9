#include "core/WakeWatcher.h"

#include "core/DebugLogger.h"

#include <QDBusConnection>
#include <QNetworkInformation>

namespace {

const QString kLogSource = QStringLiteral("Wake");

} // namespace

WakeWatcher::WakeWatcher(DebugLogger& logger, QObject* parent)
    : QObject(parent)
    , m_logger(logger)
{ }

void WakeWatcher::watchSystem()
{
    if (std::exchange(m_watchingSystem, true))
        return;
    watchSleep(QDBusConnection::systemBus());
    watchNetwork();
}

void WakeWatcher::watchSleep(const QDBusConnection& bus)
{
    QDBusConnection connection(bus);
    if (!connection.isConnected())
        return;
    connection.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(sleepChanged(bool)));
}

void WakeWatcher::watchNetwork()
{
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return;
    QNetworkInformation* information = QNetworkInformation::instance();
    m_online = information->reachability() == QNetworkInformation::Reachability::Online;
    connect(information, &QNetworkInformation::reachabilityChanged, this,
        [this](QNetworkInformation::Reachability reachability) {
            const bool online = reachability == QNetworkInformation::Reachability::Online;
            if (online && !std::exchange(m_online, online))
                report(QStringLiteral("The network is back"));
            m_online = online;
        });
}

void WakeWatcher::sleepChanged(bool sleeping)
{
    if (!sleeping)
        report(QStringLiteral("Woke from sleep"));
}

void WakeWatcher::report(const QString& reason)
{
    m_logger.log(reason + QStringLiteral(": feeds with auto-sync catch up"), LogLevel::Info, kLogSource);
    Q_EMIT woke();
}
