#include "HttpRequest.h"

bool HttpRequest::keepAlive() const
{
    const QByteArray connectionOption = header("Connection").trimmed().toLower();
    if (version == "HTTP/1.0")
        return connectionOption == "keep-alive";
    return connectionOption != "close";
}
