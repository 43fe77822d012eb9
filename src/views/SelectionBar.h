#pragma once

#include <QHash>
#include <QPointer>
#include <QWidget>

class FeedTableView;
class QLabel;
class QPushButton;
class RecordTableModel;
class RowCommands;

// The row of buttons under a feed table that shows while several rows are selected: the
// count of selected rows and one button per row action that can take a selection, each
// running it on the whole selection.
class SelectionBar : public QWidget
{
    Q_OBJECT

public:
    SelectionBar(FeedTableView* table, RecordTableModel* model, const RowCommands& commands, QWidget* parent);

private:
    void showSelection();

    FeedTableView* m_table;
    QPointer<RecordTableModel> m_model;
    QLabel* m_count;
    // The button of each action, by its id.
    QHash<QString, QPushButton*> m_buttons;
};
