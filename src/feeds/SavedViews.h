#pragma once

#include "feeds/SavedView.h"

#include <QList>
#include <QObject>

#include <optional>

class Console;
class PreferenceStore;
struct Environment;

// A feed's saved filter queries, in the user's order, kept in the preference store
// under a key of their own. Until the user changes them, or when the stored value
// cannot be read, the feed's defaults stand in; an emptied list stays empty. The list
// is read at its first use, so that a run without a window never reads it. The tab's
// view picker and the manage dialog show it; each change is stored at once.
class SavedViews : public QObject
{
    Q_OBJECT

public:
    // Where a feed keeps its views, and the ones it starts with.
    struct Storage
    {
        QString key;
        QList<SavedView> defaults;
    };

    SavedViews(const Environment& environment, Storage storage, QObject* parent = nullptr);

    const QList<SavedView>& views() const;
    int count() const { return views().size(); }
    // The row of the view of that name, or -1.
    int indexOf(const QString& name) const;

    // Appends a view; one of the same name gets the new query in its place instead.
    void save(const SavedView& view);
    // False, changing nothing, when the name is blank or another view has it; spaces
    // around it are dropped.
    bool rename(int index, const QString& newName);
    // Moves the view at `from` to the row `to`.
    void move(int from, int to);
    void remove(int index);

    // Each feed's key, and the views a new user finds in its picker.
    static Storage notificationViews();
    static Storage assignmentViews();

    // The stored form: a JSON array of {"name", "query"} objects.
    static QByteArray encode(const QList<SavedView>& views);
    // None unless `data` is such an array of strings with non-empty names.
    static std::optional<QList<SavedView>> decode(const QByteArray& data);

Q_SIGNALS:
    // Around a change of the rows (added, moved or removed).
    void aboutToChange();
    void changed();
    // The view's name or query changed in place.
    void viewChanged(int index);

private:
    void load() const;
    void store();

    PreferenceStore& m_preferences;
    Console* m_console;
    Storage m_storage;
    mutable std::optional<QList<SavedView>> m_views;
};
