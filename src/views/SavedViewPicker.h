#pragma once

#include <QWidget>

class QComboBox;
class QToolButton;
class SavedViewModel;
class SavedViews;

// Beside a tab's filter field: the "Views" picker of the feed's saved views, "Save
// View…" for the query in the field and "Manage Views…". Choosing a view hands its
// query to the tab; the picker shows the view whose query is in the field, if any.
class SavedViewPicker : public QWidget
{
    Q_OBJECT

public:
    explicit SavedViewPicker(SavedViews& views, QWidget* parent = nullptr);

    SavedViewModel* model() const { return m_model; }
    // The text of the filter field.
    void setQuery(const QString& query);
    // There is a query to save.
    bool canSave() const { return !m_query.trimmed().isEmpty(); }

    void openSaveDialog();
    void openManageDialog();

Q_SIGNALS:
    void chosen(const QString& query);

private:
    void showCurrentView();

    SavedViews& m_views;
    SavedViewModel* m_model;
    QComboBox* m_picker;
    QToolButton* m_save;
    QToolButton* m_manage;
    QString m_query;
};
