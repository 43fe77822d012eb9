#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QUrl>

class FeedTableView;
class QAction;
class QMenu;
class RecordTableModel;
struct RowAction;

// Makes the row actions of a table's model reachable: the buttons painted in a row run
// the action of the same id, the row's context menu lists them all, and their shortcuts
// run them on the current row; an action the row does not offer does nothing. With
// several rows selected, the menu and the shortcuts run the actions that can take a
// selection on every selected row that offers them. The menu is built once and kept, with the
// same items, for the table's lifetime: assistive technology keeps what it learnt of an item for as long as the item
// lives, so an item must not outlive its menu.
class RowCommands : public QObject
{
    Q_OBJECT

public:
    RowCommands(FeedTableView* table, RecordTableModel* model, QObject* parent = nullptr);

    // Hands `url` to the desktop's browser.
    static void open(const QUrl& url);

    // Runs the action on the selection, or on the current row when it takes one row only
    // or a single row is selected.
    void runOnSelection(const QString& id) const;

private:
    void run(const QString& id, int row) const;
    void showMenu(const QPoint& position);

    FeedTableView* m_table;
    QPointer<RecordTableModel> m_model;
    QMenu* m_menu;
    // The menu item of each action, by its id.
    QHash<QString, QAction*> m_items;
};
