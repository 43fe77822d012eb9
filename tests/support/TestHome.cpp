#include "TestHome.h"

#include <QDir>

TestHome::TestHome()
    : m_oldConfigHome(qgetenv("XDG_CONFIG_HOME"))
    , m_oldCacheHome(qgetenv("XDG_CACHE_HOME"))
{
    Q_ASSERT(m_dir.isValid());
    QDir(m_dir.path()).mkpath(QStringLiteral("config"));
    QDir(m_dir.path()).mkpath(QStringLiteral("cache"));
    qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", cacheHome().toLocal8Bit());
}

TestHome::~TestHome()
{
    const auto restore = [](const char* name, const QByteArray& value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    restore("XDG_CONFIG_HOME", m_oldConfigHome);
    restore("XDG_CACHE_HOME", m_oldCacheHome);
}

QString TestHome::configHome() const
{
    return m_dir.filePath(QStringLiteral("config"));
}

QString TestHome::cacheHome() const
{
    return m_dir.filePath(QStringLiteral("cache"));
}
