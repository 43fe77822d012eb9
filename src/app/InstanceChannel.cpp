#include "InstanceChannel.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

// A launch waits this long for the running instance to take its message; one that does
// not answer in time counts as gone.
constexpr int kHandOverTimeoutMs = 2000;
constexpr quint32 kProtocolVersion = 2;

} // namespace

InstanceChannel::InstanceChannel(QString socketPath, QObject* parent)
    : QObject(parent)
    , m_socketPath(std::move(socketPath))
{ }

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::defaultSocketPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QStringLiteral("tidewhelk.socket"));
}

InstanceChannel::Role InstanceChannel::claim(const Message& message)
{
    if (request(message, kHandOverTimeoutMs))
        return Role::HandedOver;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::readConnection);
    // Nobody answered: what is there is a crashed instance's socket.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath) && request(message, kHandOverTimeoutMs))
        return Role::HandedOver;
    return Role::Primary;
}

std::optional<InstanceChannel::Answer> InstanceChannel::request(const Message& message, int timeoutMs) const
{
    // Runs before this process has an event loop, so it may block.
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(std::min(kHandOverTimeoutMs, timeoutMs)))
        return std::nullopt;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kProtocolVersion << static_cast<quint8>(message.kind) << message.argument.has_value()
        << message.argument.value_or(QString());
    socket.write(bytes);
    if (!socket.waitForBytesWritten(kHandOverTimeoutMs))
        return std::nullopt;
    QDataStream in(&socket);
    for (;;) {
        in.startTransaction();
        qint32 exitCode = 0;
        QString text;
        in >> exitCode >> text;
        if (in.commitTransaction())
            return Answer {exitCode, text};
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return std::nullopt;
    }
}

void InstanceChannel::answer(quint64 id, const Answer& answer)
{
    const QPointer<QLocalSocket> socket = m_waiting.take(id);
    if (!socket)
        return;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint32(answer.exitCode) << answer.text;
    socket->write(bytes);
    socket->disconnectFromServer();
}

void InstanceChannel::readConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
    }
}

void InstanceChannel::readMessage(QLocalSocket* socket)
{
    QDataStream stream(socket);
    stream.startTransaction();
    quint32 version = 0;
    quint8 kind = 0;
    bool hasArgument = false;
    QString argument;
    stream >> version >> kind >> hasArgument >> argument;
    if (!stream.commitTransaction())
        return;
    if (version != kProtocolVersion || kind > static_cast<quint8>(Kind::AddAssignment)) {
        socket->disconnectFromServer();
        return;
    }
    const quint64 id = ++m_lastId;
    m_waiting.insert(id, socket);
    Q_EMIT received(id, Message {static_cast<Kind>(kind), hasArgument ? std::optional(argument) : std::nullopt});
}
