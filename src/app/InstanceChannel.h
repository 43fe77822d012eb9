#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QLocalServer;
class QLocalSocket;

// One window per user session: the first launch listens on a local socket in the user's
// runtime directory; a later launch hands its request to it instead of running beside
// it. A socket left behind by a crashed instance is replaced.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    enum class Kind : quint8 {
        // A launch of the window: its URL argument exactly as given, or none (come to the front).
        Launch,
        // `--add-assignment URL` while the window runs and holds the profile.
        AddAssignment,
    };

    struct Message
    {
        Kind kind = Kind::Launch;
        std::optional<QString> argument;
    };

    // What the running instance answers: the exit code for the launch and the text it
    // should print.
    struct Answer
    {
        int exitCode = 0;
        QString text;
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

    // Hands a launch to a running instance, or becomes the running instance. When the
    // socket cannot be claimed at all, this process runs on its own as Primary.
    Role claim(const Message& message);

    // Hands `message` to the running instance and waits up to `timeoutMs` for its answer;
    // none when no instance runs or it did not answer in time.
    std::optional<Answer> request(const Message& message, int timeoutMs) const;

    // Answers the message `received` with `id`; a launch that gave up waiting is skipped.
    void answer(quint64 id, const Answer& answer);

Q_SIGNALS:
    // Every message is answered once, through answer().
    void received(quint64 id, const InstanceChannel::Message& message);

private:
    void readConnection();
    void readMessage(QLocalSocket* socket);

    QString m_socketPath;
    QLocalServer* m_server = nullptr;
    quint64 m_lastId = 0;
    QHash<quint64, QPointer<QLocalSocket>> m_waiting;
};
