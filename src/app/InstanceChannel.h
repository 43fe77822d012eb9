#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QLocalServer;

// One window per user session: the first launch listens on a local socket in the user's
// runtime directory; a later launch hands its URL argument (or, without one, a request
// to come to the front) to it and exits. A socket left behind by a crashed instance is
// replaced.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    // What a launch hands over: its URL argument exactly as given, or none.
    struct Message
    {
        std::optional<QString> argument;
    };

    enum class Role {
        // This process runs the window; messages of later launches arrive as `received`.
        Primary,
        // Another instance runs and took the message: this process should exit.
        HandedOver,
    };

    explicit InstanceChannel(QString socketPath, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // $XDG_RUNTIME_DIR/tidewhelk.socket
    static QString defaultSocketPath();

    // Hands `message` to a running instance, or becomes the running instance. When the
    // socket cannot be claimed at all, this process runs on its own as Primary.
    Role claim(const Message& message);

Q_SIGNALS:
    void received(const InstanceChannel::Message& message);

private:
    bool handOver(const Message& message) const;
    void readConnection();

    QString m_socketPath;
    QLocalServer* m_server = nullptr;
};
