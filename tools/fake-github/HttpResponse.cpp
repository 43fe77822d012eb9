#include "HttpResponse.h"

HttpResponse HttpResponse::json(int status, const QByteArray& body)
{
    HttpResponse response;
    response.status = status;
    response.headers.set("Content-Type", "application/json; charset=utf-8");
    response.body = body;
    return response;
}

QByteArray HttpResponse::serialize(bool headRequest) const
{
    // 1xx, 204 and 304 never carry a body, and clients stop reading after the head.
    const bool bodyless = status < 200 || status == 204 || status == 304;
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    for (const HttpHeaders::Field& field : headers.fields())
        out += field.first + ": " + field.second + "\r\n";
    if (!bodyless)
        out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += "\r\n";
    if (!bodyless && !headRequest)
        out += body;
    return out;
}

QByteArray HttpResponse::reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 202:
        return "Accepted";
    case 204:
        return "No Content";
    case 205:
        return "Reset Content";
    case 301:
        return "Moved Permanently";
    case 304:
        return "Not Modified";
    case 307:
        return "Temporary Redirect";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 422:
        return "Unprocessable Entity";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return "Status";
    }
}
