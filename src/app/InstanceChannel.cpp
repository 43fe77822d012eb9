#include "InstanceChannel.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

// A launch waits this long for the running instance; one that does not answer in time
// counts as gone.
constexpr int kHandOverTimeoutMs = 2000;
constexpr quint32 kProtocolVersion = 1;
constexpr char kAcknowledgement = '\n';

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
    if (handOver(message))
        return Role::HandedOver;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::readConnection);
    // Nobody answered: what is there is a crashed instance's socket.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath) && handOver(message))
        return Role::HandedOver;
    return Role::Primary;
}

bool InstanceChannel::handOver(const Message& message) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(kHandOverTimeoutMs))
        return false;
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << kProtocolVersion << message.argument.has_value() << message.argument.value_or(QString());
    socket.write(bytes);
    if (!socket.waitForBytesWritten(kHandOverTimeoutMs))
        return false;
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(kHandOverTimeoutMs))
            return false;
    }
    return true;
}

void InstanceChannel::readConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream stream(socket);
            stream.startTransaction();
            quint32 version = 0;
            bool hasArgument = false;
            QString argument;
            stream >> version >> hasArgument >> argument;
            if (!stream.commitTransaction())
                return;
            socket->write(&kAcknowledgement, 1);
            socket->disconnectFromServer();
            if (version != kProtocolVersion)
                return;
            Q_EMIT received(Message {hasArgument ? std::optional(argument) : std::nullopt});
        });
    }
}
