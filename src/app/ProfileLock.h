#pragma once

#include <QLockFile>
#include <QString>

// One writer per profile: the window, `--headless` and `--add-assignment` each save the
// caches whole, so two of them on one profile would overwrite each other's threads. The
// lock is a file beside the preference file, held for the life of the process; a lock left
// by a process that no longer runs is taken over.
class ProfileLock
{
public:
    explicit ProfileLock(const QString& preferencesFile);

    bool tryLock();

    // For the message of a launch that did not get the lock: "process 1234 (tidewhelk)",
    // or a generic text when the holder cannot be read.
    QString holder() const;
    QString directory() const { return m_directory; }

private:
    QString m_directory;
    QLockFile m_file;
};
