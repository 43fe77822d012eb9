#pragma once

#include <QNetworkReply>
#include <QString>

// A request that got no complete HTTP reply: no connection, a dropped connection,
// TLS failure, or the 60-second timeout. Carries Qt's error code and its text.
class TransportError
{
public:
    TransportError(QNetworkReply::NetworkError code, QString message);

    // The request got no reply within `seconds`.
    static TransportError timedOut(int seconds);

    QNetworkReply::NetworkError code() const { return m_code; }

    // The code's name with the text, e.g. TransportError(ConnectionRefusedError: "Connection refused").
    QString description() const;
    // The network error text.
    const QString& localizedDescription() const { return m_message; }

    friend bool operator==(const TransportError&, const TransportError&) = default;

private:
    QNetworkReply::NetworkError m_code;
    QString m_message;
};
