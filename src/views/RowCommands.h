#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class FeedTableView;
class QAction;

// The commands of a feed table's rows, reachable three ways: the buttons painted in the
// row (by the same id), the row's context menu, and keyboard shortcuts on the current
// row. "Open in Browser" and "Copy Link" come with every table, from the model's link.
class RowCommands : public QObject
{
    Q_OBJECT

public:
    struct Command
    {
        // The id of the painted button that runs it too.
        QString id;
        QKeySequence shortcut;
        // The menu text for a row ("Star" or "Unstar").
        std::function<QString(int row)> text;
        std::function<void(int row)> run;
    };

    // `linkColumn` holds each row's link (FeedCells::LinkRole).
    RowCommands(FeedTableView* table, int linkColumn, QObject* parent = nullptr);

    void add(const Command& command);

    // Hands `url` to the desktop's browser.
    static void open(const QUrl& url);

private:
    void runOnCurrentRow(const Command& command);
    void showMenu(const QPoint& position);
    QUrl linkOf(int row) const;

    FeedTableView* m_table;
    int m_linkColumn;
    QList<std::pair<Command, QAction*>> m_commands;
};
