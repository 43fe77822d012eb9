#include "DeviceFlowEndpoints.h"

#include "HttpRequest.h"

namespace {

const QString kDeviceCodePath = QStringLiteral("/login/device/code");
const QString kTokenPath = QStringLiteral("/login/oauth/access_token");

} // namespace

bool DeviceFlowEndpoints::handles(const QString& path)
{
    return path == kDeviceCodePath || path == kTokenPath;
}

OAuthReply DeviceFlowEndpoints::reply(const HttpRequest& request, const QString& verificationUri)
{
    if (request.method != "POST")
        return OAuthReply::raw(404, R"({"error":"Not Found"})");
    if (request.path == kDeviceCodePath)
        return m_deviceCodeReply.value_or(OAuthReply::deviceCode(verificationUri));
    if (m_tokenReplies.isEmpty())
        return OAuthReply::pending();
    return m_tokenReplies.takeFirst();
}
