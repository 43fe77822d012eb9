#include "github/ServerVersion.h"

namespace {

const QVersionNumber kMarkingDoneSince(3, 13);

} // namespace

ServerVersion ServerVersion::fromReplyHeaders(const HeaderList& headers)
{
    ServerVersion server;
    const std::optional<QByteArray> version = headers.value("X-GitHub-Enterprise-Version");
    if (!version)
        return server;
    server.m_isEnterprise = true;
    // Enterprise Server writes "3.13.0"; a suffix such as "-rc1" is not part of the number.
    server.m_enterpriseVersion = QVersionNumber::fromString(QString::fromLatin1(version->trimmed()));
    return server;
}

bool ServerVersion::supportsMarkingDone() const
{
    return !m_isEnterprise || (!m_enterpriseVersion.isNull() && m_enterpriseVersion >= kMarkingDoneSince);
}
