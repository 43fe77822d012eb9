#pragma once

#include <QByteArray>
#include <QString>

// Which requests a fault applies to: an exact path or every path under a prefix,
// optionally only for one method. Paths are REST paths without the API prefix
// ("/notifications"), or the OAuth paths ("/login/oauth/access_token").
class FaultTarget
{
public:
    static FaultTarget path(const QString& path, const QByteArray& method = {}) { return {path, false, method}; }
    static FaultTarget prefix(const QString& prefix, const QByteArray& method = {}) { return {prefix, true, method}; }

    bool matches(const QByteArray& method, const QString& path) const
    {
        if (!m_method.isEmpty() && m_method != method)
            return false;
        return m_prefix ? path.startsWith(m_path) : path == m_path;
    }

private:
    FaultTarget(const QString& path, bool prefix, const QByteArray& method)
        : m_path(path)
        , m_prefix(prefix)
        , m_method(method)
    { }

    QString m_path;
    bool m_prefix;
    QByteArray m_method;
};
