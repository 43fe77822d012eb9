#include "storage/PreferenceStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace std::chrono_literals;

namespace {

constexpr auto kWriteDelay = 1000ms;

constexpr QFile::Permissions kOwnerOnlyFile = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions kOwnerOnlyDirectory = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

} // namespace

PreferenceStore::PreferenceStore()
    : PreferenceStore(defaultFilePath())
{ }

PreferenceStore::PreferenceStore(const QString& filePath)
    : m_filePath(filePath)
{
    m_writeTimer.setSingleShot(true);
    m_writeTimer.setInterval(kWriteDelay);
    QObject::connect(&m_writeTimer, &QTimer::timeout, &m_writeTimer, [this] { flush(); });
}

PreferenceStore::~PreferenceStore()
{
    flush();
}

QString PreferenceStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/tidewhelk/tidewhelk.ini");
}

QVariant PreferenceStore::object(const QString& key) const
{
    const auto pending = m_pending.constFind(key);
    return pending != m_pending.cend() ? *pending : settings().value(key);
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

void PreferenceStore::setData(const QString& key, const QByteArray& value)
{
    put(key, value);
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

void PreferenceStore::put(const QString& key, const QVariant& value)
{
    // The file is rewritten whole: storing what it already holds must not cost that.
    if (holds(key, value))
        return;
    m_pending.insert(key, value);
    if (!m_writeTimer.isActive())
        m_writeTimer.start();
}

void PreferenceStore::removeAll()
{
    m_writeTimer.stop();
    m_pending.clear();
    settings().clear();
    write();
}

void PreferenceStore::flush()
{
    m_writeTimer.stop();
    if (m_pending.isEmpty())
        return;
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
    if (!m_settings)
        m_settings = std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
    return *m_settings;
}

void PreferenceStore::write()
{
    makeFilePrivate();
    // Merges with what other processes wrote since, and replaces the file through a
    // temporary file and a rename.
    settings().sync();
}

void PreferenceStore::makeFilePrivate() const
{
    // The file can hold the token's fallback copy. QSettings would create it
    // world-readable, and keeps the permissions of the file it replaces, so the file
    // is created (or reset) owner-only before each write. A directory made here is
    // owner-only too; one that exists is left as it is (it may be a shared one).
    const QString directory = QFileInfo(m_filePath).absolutePath();
    if (!QFileInfo::exists(directory) && QDir().mkpath(directory))
        QFile::setPermissions(directory, kOwnerOnlyDirectory);
    QFile file(m_filePath);
    if (!file.exists())
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerOnlyFile);
    else
        file.setPermissions(kOwnerOnlyFile);
}
