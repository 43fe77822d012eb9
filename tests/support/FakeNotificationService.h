#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A desktop's notification service, org.freedesktop.Notifications, on a connection of
// its own to the session bus (in tests the private bus of scripts/with-test-session): it
// records every Notify call, answers GetCapabilities, and reports a click on a
// notification (ActionInvoked) or its closing (NotificationClosed) as a desktop does.
class FakeNotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call
    {
        uint id = 0;
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
    };

    explicit FakeNotificationService(QStringList capabilities = {QStringLiteral("actions"), QStringLiteral("body")});
    ~FakeNotificationService() override;

    // Takes the service's name on the bus; false when it is taken (a desktop's own
    // service) or there is no bus.
    bool start();

    const QList<Call>& calls() const { return m_calls; }

    void click(uint id, const QString& actionKey = QStringLiteral("default"));
    void close(uint id);

public Q_SLOTS:
    QStringList GetCapabilities();
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
        const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout);

private:
    void emitSignal(const QString& name, const QList<QVariant>& arguments);

    QString m_connectionName;
    QDBusConnection m_connection;
    QStringList m_capabilities;
    QList<Call> m_calls;
    uint m_nextId = 1;
};
