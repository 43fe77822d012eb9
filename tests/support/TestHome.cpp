#include "TestHome.h"

#include <QDir>

using namespace Qt::StringLiterals;

TestHome::TestHome()
    : m_oldConfigHome(qgetenv("XDG_CONFIG_HOME"))
    , m_oldCacheHome(qgetenv("XDG_CACHE_HOME"))
{
    Q_ASSERT(m_dir.isValid());
    QDir(m_dir.path()).mkpath(u"config"_s);
    QDir(m_dir.path()).mkpath(u"cache"_s);
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
    return m_dir.filePath(u"config"_s);
}

QString TestHome::cacheHome() const
{
    return m_dir.filePath(u"cache"_s);
}
