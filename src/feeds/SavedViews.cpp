#include "feeds/SavedViews.h"

#include "core/Console.h"
#include "storage/Environment.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

SavedViews::SavedViews(const Environment& environment, Storage storage, QObject* parent)
    : QObject(parent)
    , m_preferences(*environment.preferences)
    , m_console(environment.console)
    , m_storage(std::move(storage))
{ }

const QList<SavedView>& SavedViews::views() const
{
    load();
    return *m_views;
}

int SavedViews::indexOf(const QString& name) const
{
    const QList<SavedView>& list = views();
    for (qsizetype row = 0; row < list.size(); ++row) {
        if (list[row].name == name)
            return static_cast<int>(row);
    }
    return -1;
}

void SavedViews::save(const SavedView& view)
{
    const int existing = indexOf(view.name);
    if (existing >= 0) {
        if ((*m_views)[existing].query == view.query)
            return;
        (*m_views)[existing].query = view.query;
        store();
        Q_EMIT viewChanged(existing);
        return;
    }
    Q_EMIT aboutToChange();
    m_views->append(view);
    store();
    Q_EMIT changed();
}

bool SavedViews::rename(int index, const QString& newName)
{
    const QString name = newName.trimmed();
    const int holder = indexOf(name);
    if (name.isEmpty() || index < 0 || index >= count() || (holder >= 0 && holder != index))
        return false;
    if (holder == index)
        return true;
    (*m_views)[index].name = name;
    store();
    Q_EMIT viewChanged(index);
    return true;
}

void SavedViews::move(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= count() || to >= count())
        return;
    Q_EMIT aboutToChange();
    m_views->move(from, to);
    store();
    Q_EMIT changed();
}

void SavedViews::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    Q_EMIT aboutToChange();
    m_views->removeAt(index);
    store();
    Q_EMIT changed();
}

SavedViews::Storage SavedViews::notificationViews()
{
    return {PreferenceKeys::notificationViews,
        {{tr("Review requested"), u"reason:review_requested"_s}, {tr("Failing CI"), u"is:pr ci:failed"_s},
            {tr("Mentions"), u"reason:mention reason:team_mention"_s}, {tr("Open pull requests"), u"is:pr is:open"_s}}};
}

SavedViews::Storage SavedViews::assignmentViews()
{
    return {PreferenceKeys::assignmentViews,
        {{tr("Open pull requests"), u"is:pr is:open"_s}, {tr("Open issues"), u"is:issue is:open"_s},
            {tr("Starred"), u"is:starred"_s}}};
}

QByteArray SavedViews::encode(const QList<SavedView>& views)
{
    QJsonArray array;
    for (const SavedView& view : views)
        array.append(QJsonObject {{u"name"_s, view.name}, {u"query"_s, view.query}});
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<SavedView>> SavedViews::decode(const QByteArray& data)
{
    const QJsonDocument document = QJsonDocument::fromJson(data);
    if (!document.isArray())
        return std::nullopt;
    QList<SavedView> views;
    const QJsonArray array = document.array();
    for (const QJsonValue& value : array) {
        const QJsonValue name = value[u"name"_s];
        const QJsonValue query = value[u"query"_s];
        if (!name.isString() || !query.isString() || name.toString().trimmed().isEmpty())
            return std::nullopt;
        views.append({name.toString(), query.toString()});
    }
    return views;
}

void SavedViews::load() const
{
    if (m_views)
        return;
    if (!m_preferences.object(m_storage.key).isValid()) {
        m_views = m_storage.defaults;
        return;
    }
    const std::optional<QByteArray> stored = m_preferences.data(m_storage.key);
    m_views = stored ? decode(*stored) : std::nullopt;
    if (!m_views) {
        // The damaged value stays until the user's next change overwrites it.
        if (m_console)
            m_console->print(u"⚠️ Saved views damaged (%1): using the default views"_s.arg(m_storage.key));
        m_views = m_storage.defaults;
    }
}

void SavedViews::store()
{
    m_preferences.setData(m_storage.key, encode(*m_views));
}
