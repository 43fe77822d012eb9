#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DebugLogger;

// The desktop's notification service (org.freedesktop.Notifications on the session bus),
// over Qt D-Bus and only with asynchronous calls. A notification carries the
// application's icon and desktop entry, so the desktop groups it with the application,
// and one action, its default: clicking it. Without a service nothing is shown, and the
// first failure is written to the debug log as one DEBUG entry; later attempts ask again,
// in case a service has started since.
class DesktopNotifications : public QObject
{
    Q_OBJECT

public:
    static constexpr auto serviceName = "org.freedesktop.Notifications";
    static constexpr auto objectPath = "/org/freedesktop/Notifications";

    struct Message
    {
        QString summary;
        // Plain text; escaped for services that read markup.
        QString body;
        // What clicking the notification does, for services that show actions as buttons.
        QString actionLabel;
    };

    DesktopNotifications(DebugLogger& logger, const QDBusConnection& bus, QObject* parent = nullptr);

    // Shows `message`; `activated` runs when the user clicks the notification, as long as
    // this object lives and the notification was not closed.
    void show(const Message& message, std::function<void()> activated);

private Q_SLOTS:
    void actionInvoked(uint id, const QString& actionKey);
    void notificationClosed(uint id, uint reason);

private:
    struct Pending
    {
        Message message;
        std::function<void()> activated;
    };

    void askCapabilities();
    void notify(const Pending& pending);
    void unavailable(const QString& reason);

    DebugLogger& m_logger;
    QDBusConnection m_bus;
    // The service's capabilities, once it has answered.
    std::optional<QStringList> m_capabilities;
    bool m_asking = false;
    // Notifications waiting for the capabilities.
    QList<Pending> m_waiting;
    // What clicking does, by the service's id of each notification still shown.
    QHash<uint, std::function<void()>> m_activations;
    bool m_reportedUnavailable = false;
};
