#pragma once

#include <QString>
#include <QTemporaryDir>

// A private home for one test: XDG_CONFIG_HOME and XDG_CACHE_HOME point into a fresh
// temporary directory for the life of the object, and are restored afterwards.
class TestHome
{
public:
    TestHome();
    ~TestHome();
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    QString path() const { return m_dir.path(); }
    QString configHome() const;
    QString cacheHome() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfigHome;
    QByteArray m_oldCacheHome;
};
