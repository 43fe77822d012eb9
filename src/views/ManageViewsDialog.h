#pragma once

#include <QDialog>

class QListView;
class QPushButton;
class SavedViewModel;
class SavedViews;

// Lists a feed's saved views to rename (in place in the list), move up or down and
// delete. Shown without blocking the window and deleted when closed.
class ManageViewsDialog : public QDialog
{
    Q_OBJECT

public:
    ManageViewsDialog(SavedViews& views, QWidget* parent);

    QListView* list() const { return m_list; }

private:
    QPushButton* addButton(const QString& text, const QString& objectName);
    int currentRow() const;
    void moveCurrent(int offset);
    void deleteCurrent();
    void updateButtons();

    SavedViews& m_views;
    SavedViewModel* m_model;
    QListView* m_list;
    QPushButton* m_rename;
    QPushButton* m_moveUp;
    QPushButton* m_moveDown;
    QPushButton* m_delete;
};
