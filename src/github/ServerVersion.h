#pragma once

#include "http/HeaderList.h"

#include <QVersionNumber>

// Which GitHub answers the REST API, as its replies say: github.com, whose replies carry
// no X-GitHub-Enterprise-Version, or a GitHub Enterprise Server of the version that
// header names. Features GitHub added late are offered only where the server has them.
class ServerVersion
{
public:
    // What one reply's headers say of the server.
    static ServerVersion fromReplyHeaders(const HeaderList& headers);

    bool isEnterprise() const { return m_isEnterprise; }
    // The Enterprise Server's version; null for github.com, or when the header does not
    // start with a version number.
    const QVersionNumber& enterpriseVersion() const { return m_enterpriseVersion; }

    // "Mark as done" (DELETE /notifications/threads/{id}): github.com, and Enterprise
    // Server from 3.13 on. An Enterprise Server whose version is unreadable may be older.
    bool supportsMarkingDone() const;

    friend bool operator==(const ServerVersion&, const ServerVersion&) = default;

private:
    bool m_isEnterprise = false;
    QVersionNumber m_enterpriseVersion;
};
