#include "ProfileLock.h"

#include <QDir>
#include <QFileInfo>

ProfileLock::ProfileLock(const QString& preferencesFile)
    : m_directory(QFileInfo(preferencesFile).absolutePath())
    , m_file(QDir(m_directory).filePath(QStringLiteral("tidewhelk.lock")))
{
    // A running holder keeps its lock however long it runs; only a dead one loses it.
    m_file.setStaleLockTime(0);
}

bool ProfileLock::tryLock()
{
    QDir().mkpath(m_directory);
    return m_file.tryLock(0);
}

QString ProfileLock::holder() const
{
    qint64 pid = 0;
    QString hostName;
    QString application;
    if (!m_file.getLockInfo(&pid, &hostName, &application))
        return QStringLiteral("another process");
    QString text = QStringLiteral("process ") + QString::number(pid);
    if (!application.isEmpty())
        text += QStringLiteral(" (") + application + u')';
    return text;
}
