#pragma once

#include <QDateTime>
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
class PreferenceStore
{
public:
    // The store of the user: the file in XDG_CONFIG_HOME (or ~/.config).
    PreferenceStore();
    // A store kept in `filePath`.
    explicit PreferenceStore(const QString& filePath);
    ~PreferenceStore();
    PreferenceStore(const PreferenceStore&) = delete;
    PreferenceStore& operator=(const PreferenceStore&) = delete;

    static QString defaultFilePath();
    QString filePath() const { return m_filePath; }

    std::optional<QByteArray> data(const QString& key) const;
    // The value as stored, of whatever type; invalid when absent. Booleans written to
    // the disk come back as the strings "true" and "false".
    QVariant object(const QString& key) const;
    std::optional<QString> string(const QString& key) const;
    // False when absent or not a boolean.
    bool boolValue(const QString& key) const;
    std::optional<QDateTime> date(const QString& key) const;

    void setData(const QString& key, const QByteArray& value);
    void setString(const QString& key, const QString& value);
    void setBool(const QString& key, bool value);
    void setDate(const QString& key, const QDateTime& value);
    void remove(const QString& key);

    // Removes every key of the store and writes the empty store at once.
    void removeAll();

    // Writes the pending changes to the disk now.
    void flush();

private:
    void put(const QString& key, const QVariant& value);
    // The key holds this value already (absent for an invalid one).
    bool holds(const QString& key, const QVariant& value) const;
    void write();
    void makeFilePrivate() const;

    QString m_filePath;
    // The file as QSettings reads it, which it does whole: opened at the first access,
    // so that a process does not pay for a large cache before it needs a value.
    QSettings& settings() const;

    mutable std::unique_ptr<QSettings> m_settings;
    // Changes not yet handed to m_settings; an invalid value is a removal.
    QMap<QString, QVariant> m_pending;
    QTimer m_writeTimer;
};
