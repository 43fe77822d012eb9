#pragma once

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QSettings>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <memory>
#include <optional>

// The user's preference store: the cached lists, marks, switches and dates of the
// application, and the token's fallback copy, as typed values under string keys. It
// is an INI file, tidewhelk/tidewhelk.ini in the user's configuration directory,
// readable by its owner only. A value of another type than the one asked for reads
// as absent.
//
// Writing the value a key already holds changes nothing, so a start or an exit that
// changes no value writes nothing. Other writes are seen by reads at once and reach
// the disk at most about once a second (the file is rewritten whole, and the caches
// are megabytes written many times during a refresh), on flush() and when the store
// is destroyed. Each write replaces
// the file atomically, so a crash leaves either the old or the new content; a file
// that cannot be parsed reads as defaults and is replaced by the next write.
//
// After each write a snapshot of the file (PreferenceSnapshot) is written beside it,
// and a start reads that instead of the INI text while its stamp matches the file.
// Without a usable snapshot the file is read as before, and the snapshot is written
// again at the next write, or soon when a compact form is added.
//
// A store can keep its keys under a group of the file (a further account's keys beside
// the first account's), with a snapshot file of its own that only it holds its keys in.
// Stores of one file merge their writes, and a write by one brings the others' snapshots
// to the file's new stamp; a store that goes has the others write what they hold first.
class PreferenceStore
{
public:
    // The store of the user: the file in XDG_CONFIG_HOME (or ~/.config).
    PreferenceStore();
    // A store kept in `filePath`, under `group` when one is given.
    explicit PreferenceStore(const QString& filePath, const QString& group = {});
    ~PreferenceStore();
    PreferenceStore(const PreferenceStore&) = delete;
    PreferenceStore& operator=(const PreferenceStore&) = delete;

    static QString defaultFilePath();
    QString filePath() const { return m_filePath; }
    QString group() const { return m_group; }
    // The snapshot of this store's keys: beside the file, named after the group too.
    QString snapshotPath() const;

    // The groups of the file that hold keys of other stores.
    QStringList childGroups() const;

    std::optional<QByteArray> data(const QString& key) const;
    // The value as stored, of whatever type; invalid when absent. Booleans written to
    // the disk come back as the strings "true" and "false".
    QVariant object(const QString& key) const;
    std::optional<QString> string(const QString& key) const;
    // False when absent or not a boolean.
    bool boolValue(const QString& key) const;
    std::optional<QDateTime> date(const QString& key) const;

    // False when the key held that value already.
    bool setData(const QString& key, const QByteArray& value);
    void setString(const QString& key, const QString& value);
    void setBool(const QString& key, bool value);
    void setDate(const QString& key, const QDateTime& value);
    void remove(const QString& key);

    // The compact form of the records the JSON under `key` holds, as given to
    // setCompactForm since the key last changed (or read from the snapshot). A form read
    // from the snapshot points into the store's copy of it: it is valid while the store
    // lives.
    std::optional<QByteArray> compactForm(const QString& key) const;
    // Keeps `form` beside the key's present value, for the snapshot; the next change
    // of the key drops it.
    void setCompactForm(const QString& key, const QByteArray& form);

    // Why the snapshot was not used, once: none when it was, when there is no file
    // yet, or when it was told already.
    std::optional<QString> takeSnapshotProblem();

    // Removes every key of the store and writes the empty store at once: the whole file
    // for a store without group, the group's keys for a grouped one.
    void removeAll();

    // Writes the pending changes to the disk now.
    void flush();
    // Drops the pending changes and every later write: the store of an account that was
    // removed, whose feeds may still finish work they had begun.
    void discardWrites();

private:
    bool put(const QString& key, const QVariant& value);
    // The key holds this value already (absent for an invalid one).
    bool holds(const QString& key, const QVariant& value) const;
    void write();
    void writeSnapshot();
    static void makeFilePrivate(const QString& path);

    QString m_filePath;
    QString m_group;
    // The file as QSettings reads it, which it does whole: opened at the first access
    // that the snapshot cannot answer, so that a process does not pay for a large cache
    // before it needs a value.
    QSettings& settings() const;
    // Reads the snapshot at the first access; true while its values stand for the file.
    bool fromSnapshot() const;

    mutable bool m_snapshotRead = false;
    // The values of the snapshot, until the file is written.
    mutable std::optional<QMap<QString, QVariant>> m_snapshotValues;
    mutable std::optional<QString> m_snapshotProblem;
    mutable QHash<QString, QByteArray> m_compactForms;
    // The snapshot read at the start, kept for the compact forms read from it.
    mutable QByteArray m_snapshotBytes;
    mutable std::shared_ptr<QFile> m_snapshotMapping;
    bool m_snapshotDue = false;
    bool m_discardingWrites = false;
    mutable std::unique_ptr<QSettings> m_settings;
    // Changes not yet handed to m_settings; an invalid value is a removal.
    QMap<QString, QVariant> m_pending;
    QTimer m_writeTimer;
};
