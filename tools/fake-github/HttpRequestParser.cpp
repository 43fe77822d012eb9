#include "HttpRequestParser.h"

#include <QUrl>

void HttpRequestParser::feed(const QByteArray& bytes)
{
    if (m_error)
        return;
    m_buffer.append(bytes);
    parseAvailable();
}

QList<HttpRequest> HttpRequestParser::takeRequests()
{
    return std::exchange(m_complete, {});
}

void HttpRequestParser::parseAvailable()
{
    while (!m_error) {
        if (m_bodyLength < 0) {
            const qsizetype end = m_buffer.indexOf("\r\n\r\n");
            if (end < 0) {
                m_error = m_buffer.size() > maxHeaderBytes;
                return;
            }
            if (!parseHead(m_buffer.left(end))) {
                m_error = true;
                return;
            }
            m_buffer.remove(0, end + 4);
        }
        if (m_buffer.size() < m_bodyLength)
            return;
        m_current.body = m_buffer.left(m_bodyLength);
        m_buffer.remove(0, m_bodyLength);
        m_complete.append(std::exchange(m_current, {}));
        m_bodyLength = -1;
    }
}

bool HttpRequestParser::parseHead(const QByteArray& head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || requestLine.at(0).isEmpty() || !requestLine.at(2).startsWith("HTTP/1."))
        return false;
    m_current.method = requestLine.at(0);
    m_current.target = requestLine.at(1);
    m_current.version = requestLine.at(2);

    const QUrl url = QUrl::fromEncoded(m_current.target);
    if (!url.isValid() || !m_current.target.startsWith('/'))
        return false;
    m_current.path = url.path(QUrl::FullyDecoded);
    m_current.query = QUrlQuery(url);

    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || line.front() == ' ' || line.front() == '\t')
            return false;
        m_current.headers.add(line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
    }

    if (m_current.hasHeader("Transfer-Encoding"))
        return false; // no client of this server sends chunked bodies
    m_bodyLength = 0;
    if (m_current.hasHeader("Content-Length")) {
        bool ok = false;
        m_bodyLength = m_current.header("Content-Length").toLongLong(&ok);
        if (!ok || m_bodyLength < 0 || m_bodyLength > maxBodyBytes)
            return false;
    }
    return true;
}
