#pragma once

#include <QString>

#include <optional>

// What tells one version of a file from another without reading it: its size, the
// time of its last change to the nanosecond and its inode (a file replaced through a
// rename has a new one).
struct FileStamp
{
    qint64 size = 0;
    qint64 modifiedNanoseconds = 0;
    quint64 inode = 0;

    // None when the file does not exist.
    static std::optional<FileStamp> of(const QString& path);

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
