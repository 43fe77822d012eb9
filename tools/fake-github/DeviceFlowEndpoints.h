#pragma once

#include "OAuthReply.h"

#include <QList>

#include <optional>

struct HttpRequest;

// GitHub's two OAuth device-flow endpoints, answering from a script: the device-code
// request gets the scripted reply (GitHub's documented example by default), and each
// token poll takes the next reply from a queue, "authorization_pending" once it is empty.
class DeviceFlowEndpoints
{
public:
    static bool handles(const QString& path);

    void setDeviceCodeReply(const OAuthReply& reply) { m_deviceCodeReply = reply; }
    void queueTokenReply(const OAuthReply& reply) { m_tokenReplies.append(reply); }
    int queuedTokenReplies() const { return static_cast<int>(m_tokenReplies.size()); }

    // `verificationUri` is where the default device-code reply sends the user.
    OAuthReply reply(const HttpRequest& request, const QString& verificationUri);

private:
    std::optional<OAuthReply> m_deviceCodeReply;
    QList<OAuthReply> m_tokenReplies;
};
