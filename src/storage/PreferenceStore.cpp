#include "storage/PreferenceStore.h"

#include "storage/PreferenceSnapshot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMultiHash>
#include <QStandardPaths>

using namespace std::chrono_literals;

namespace {

constexpr auto kWriteDelay = 1000ms;

constexpr QFile::Permissions kOwnerOnlyFile = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions kOwnerOnlyDirectory = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// A value as the INI file gives it back: it has no boolean type.
QVariant asReadBack(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return value;
}

// The stores of this process, by file: a write by one changes the stamp the others'
// snapshots carry.
QMultiHash<QString, PreferenceStore*>& storesByFile()
{
    static QMultiHash<QString, PreferenceStore*> stores;
    return stores;
}

} // namespace

PreferenceStore::PreferenceStore()
    : PreferenceStore(defaultFilePath())
{ }

PreferenceStore::PreferenceStore(const QString& filePath, const QString& group)
    : m_filePath(filePath)
    , m_group(group)
{
    m_writeTimer.setSingleShot(true);
    m_writeTimer.setInterval(kWriteDelay);
    QObject::connect(&m_writeTimer, &QTimer::timeout, &m_writeTimer, [this] { flush(); });
    storesByFile().insert(m_filePath, this);
}

PreferenceStore::~PreferenceStore()
{
    // The file's other stores write what they hold now, while this one is there to have
    // its snapshot brought to the file's new stamp: a write after it is gone would leave
    // its snapshot stale, and the next start would read the file's text instead.
    const QList<PreferenceStore*> others = storesByFile().values(m_filePath);
    for (PreferenceStore* other : others) {
        if (other != this)
            other->flush();
    }
    flush();
    storesByFile().remove(m_filePath, this);
}

QString PreferenceStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/tidewhelk/tidewhelk.ini");
}

QString PreferenceStore::snapshotPath() const
{
    const QString path = PreferenceSnapshot::pathFor(m_filePath);
    if (m_group.isEmpty())
        return path;
    const QFileInfo snapshot(path);
    return snapshot.path() + u'/' + snapshot.completeBaseName() + u'-' + m_group + u'.' + snapshot.suffix();
}

QStringList PreferenceStore::childGroups() const
{
    return settings().childGroups();
}

QVariant PreferenceStore::object(const QString& key) const
{
    const auto pending = m_pending.constFind(key);
    if (pending != m_pending.cend())
        return *pending;
    if (!fromSnapshot())
        return settings().value(key);
    const auto held = m_snapshotValues->constFind(key);
    if (held != m_snapshotValues->cend())
        return *held;
    // A list the snapshot keeps in its compact form only: its JSON is in the file.
    return m_compactForms.contains(key) ? settings().value(key) : QVariant();
}

bool PreferenceStore::fromSnapshot() const
{
    if (!std::exchange(m_snapshotRead, true)) {
        // A first start has neither the file nor a snapshot: nothing to tell then.
        if (const std::optional<FileStamp> stamp = FileStamp::of(m_filePath)) {
            auto read = PreferenceSnapshot::read(snapshotPath(), *stamp);
            if (auto* content = std::get_if<PreferenceSnapshot::Content>(&read)) {
                m_snapshotValues = std::move(content->values);
                m_compactForms = std::move(content->compactForms);
                m_snapshotBytes = std::move(content->bytes);
                m_snapshotMapping = std::move(content->mapping);
            } else {
                m_snapshotProblem = PreferenceSnapshot::problemText(std::get<PreferenceSnapshot::Problem>(read));
            }
        }
    }
    return m_snapshotValues.has_value();
}

std::optional<QByteArray> PreferenceStore::compactForm(const QString& key) const
{
    fromSnapshot();
    const auto form = m_compactForms.constFind(key);
    if (form == m_compactForms.cend())
        return std::nullopt;
    return *form;
}

void PreferenceStore::setCompactForm(const QString& key, const QByteArray& form)
{
    if (m_discardingWrites)
        return;
    fromSnapshot();
    const auto held = m_compactForms.constFind(key);
    if (held != m_compactForms.cend() && *held == form)
        return;
    m_compactForms.insert(key, form);
    m_snapshotDue = true;
    if (!m_writeTimer.isActive())
        m_writeTimer.start();
}

std::optional<QString> PreferenceStore::takeSnapshotProblem()
{
    fromSnapshot();
    return std::exchange(m_snapshotProblem, std::nullopt);
}

std::optional<QByteArray> PreferenceStore::data(const QString& key) const
{
    const QVariant value = object(key);
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

std::optional<QString> PreferenceStore::string(const QString& key) const
{
    const QVariant value = object(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

bool PreferenceStore::boolValue(const QString& key) const
{
    const QVariant value = object(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    // INI has no boolean type: a boolean read back from the file is this string.
    return value.typeId() == QMetaType::QString && value.toString() == QLatin1String("true");
}

std::optional<QDateTime> PreferenceStore::date(const QString& key) const
{
    const QVariant value = object(key);
    if (value.typeId() != QMetaType::QDateTime)
        return std::nullopt;
    return value.toDateTime();
}

bool PreferenceStore::setData(const QString& key, const QByteArray& value)
{
    return put(key, value);
}

void PreferenceStore::setString(const QString& key, const QString& value)
{
    put(key, value);
}

void PreferenceStore::setBool(const QString& key, bool value)
{
    put(key, value);
}

void PreferenceStore::setDate(const QString& key, const QDateTime& value)
{
    put(key, value);
}

void PreferenceStore::remove(const QString& key)
{
    put(key, QVariant());
}

bool PreferenceStore::holds(const QString& key, const QVariant& value) const
{
    const QVariant current = object(key);
    if (!current.isValid() || !value.isValid())
        return current.isValid() == value.isValid();
    // A boolean read back from the file is its text.
    if (value.typeId() == QMetaType::Bool && current.typeId() == QMetaType::QString)
        return current.toString() == (value.toBool() ? QLatin1String("true") : QLatin1String("false"));
    return current.typeId() == value.typeId() && current == value;
}

bool PreferenceStore::put(const QString& key, const QVariant& value)
{
    // The file is rewritten whole: storing what it already holds must not cost that.
    if (m_discardingWrites || holds(key, value))
        return false;
    m_pending.insert(key, value);
    m_compactForms.remove(key);
    if (!m_writeTimer.isActive())
        m_writeTimer.start();
    return true;
}

void PreferenceStore::discardWrites()
{
    m_discardingWrites = true;
    m_writeTimer.stop();
    m_pending.clear();
    m_compactForms.clear();
    m_snapshotDue = false;
}

void PreferenceStore::removeAll()
{
    m_writeTimer.stop();
    m_pending.clear();
    m_compactForms.clear();
    if (m_group.isEmpty())
        settings().clear();
    else
        settings().remove(QString());
    write();
}

void PreferenceStore::flush()
{
    m_writeTimer.stop();
    if (m_pending.isEmpty()) {
        if (m_snapshotDue) {
            // Only compact forms were added: the file stays, read again if it changed.
            settings().sync();
            writeSnapshot();
        }
        return;
    }
    for (auto change = m_pending.cbegin(); change != m_pending.cend(); ++change) {
        if (change->isValid())
            settings().setValue(change.key(), *change);
        else
            settings().remove(change.key());
    }
    m_pending.clear();
    write();
}

QSettings& PreferenceStore::settings() const
{
    if (!m_settings) {
        m_settings = std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
        if (!m_group.isEmpty())
            m_settings->beginGroup(m_group);
    }
    return *m_settings;
}

void PreferenceStore::write()
{
    makeFilePrivate(m_filePath);
    // Merges with what other processes wrote since, and replaces the file through a
    // temporary file and a rename.
    settings().sync();
    // From now on QSettings holds the file's values.
    m_snapshotValues.reset();
    m_snapshotRead = true;
    // A file that could not be written keeps its old snapshot, which still matches it.
    if (settings().status() != QSettings::NoError)
        return;
    writeSnapshot();
    // The other stores of the file keep their values through this write: their
    // snapshots only need the file's new stamp. One not read yet stays as it is; one
    // with changes of its own writes them, and its snapshot, within a second.
    const QList<PreferenceStore*> others = storesByFile().values(m_filePath);
    for (PreferenceStore* other : others) {
        if (other != this && other->m_snapshotRead && other->m_pending.isEmpty())
            other->writeSnapshot();
    }
}

void PreferenceStore::writeSnapshot()
{
    m_snapshotDue = false;
    if (m_discardingWrites)
        return;
    const std::optional<FileStamp> stamp = FileStamp::of(m_filePath);
    if (!stamp)
        return;
    PreferenceSnapshot::Content content;
    for (const QString& key : settings().allKeys()) {
        // The keys of the file's groups are the grouped stores', which keep snapshots of
        // their own: a further account's caches are not copied into the first one's.
        if (m_group.isEmpty() && key.contains(u'/'))
            continue;
        content.values.insert(key, asReadBack(settings().value(key)));
    }
    // A list is kept in one form: the compact one, which reads faster.
    for (auto form = m_compactForms.cbegin(); form != m_compactForms.cend(); ++form) {
        if (content.values.remove(form.key()) > 0)
            content.compactForms.insert(form.key(), *form);
    }
    const QString path = snapshotPath();
    makeFilePrivate(path);
    PreferenceSnapshot::write(path, *stamp, content);
}

void PreferenceStore::makeFilePrivate(const QString& path)
{
    // The file can hold the token's fallback copy. QSettings would create it
    // world-readable, and keeps the permissions of the file it replaces, so the file
    // is created (or reset) owner-only before each write. A directory made here is
    // owner-only too; one that exists is left as it is (it may be a shared one).
    const QString directory = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(directory) && QDir().mkpath(directory))
        QFile::setPermissions(directory, kOwnerOnlyDirectory);
    QFile file(path);
    if (!file.exists())
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerOnlyFile);
    else
        file.setPermissions(kOwnerOnlyFile);
}
