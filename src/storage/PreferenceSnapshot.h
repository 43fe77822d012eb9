#pragma once

#include "storage/FileStamp.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>
#include <variant>

// A copy of the preference file's values in a binary form that reads in a small part
// of the time the INI text takes, kept beside the file, with the records of the
// cached lists in their compact form (CompactRecords) instead of their JSON, so that a
// start need not decode that either. It belongs to the preference file whose stamp it carries: any
// other version of that file makes it stale, and the file stays the one source of
// truth. A checksum over the content tells a damaged snapshot.
class PreferenceSnapshot
{
public:
    // Why a snapshot was not used.
    enum class Problem {
        Missing,
        Damaged,
        Stale,
        OtherVersion,
    };

    struct Content
    {
        // The values of the preference file, as read back from it, but for the lists
        // in `compactForms`.
        QMap<QString, QVariant> values;
        // For keys of the file that hold lists, the compact form of the records their
        // JSON holds. Read back, each is a view into `bytes`.
        QHash<QString, QByteArray> compactForms;
        // The snapshot as read, which the read compact forms point into: the forms are
        // megabytes, and copying them out would cost a start more than reading them.
        // The bytes are the file mapped into memory, when it could be mapped.
        QByteArray bytes;
        std::shared_ptr<QFile> mapping;
    };

    // The snapshot of the preference file `preferencesPath`: beside it, ".snapshot"
    // instead of its suffix.
    static QString pathFor(const QString& preferencesPath);

    // The content of the snapshot at `path` when it is whole, of this format and
    // taken of the preference file as `preferences` stamps it.
    static std::variant<Content, Problem> read(const QString& path, const FileStamp& preferences);
    // Replaces the snapshot at `path` atomically; false when it could not be written.
    static bool write(const QString& path, const FileStamp& preferences, const Content& content);

    // The log line of a start that reads the preference file instead.
    static QString problemText(Problem problem);
};
