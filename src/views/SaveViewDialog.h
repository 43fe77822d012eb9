#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class SavedViews;

// Asks for the name to keep the filter's query under, and saves it into the feed's
// views. Opened with open() and deleted when closed; a name already taken gets the
// new query.
class SaveViewDialog : public QDialog
{
    Q_OBJECT

public:
    SaveViewDialog(SavedViews& views, QString query, QWidget* parent);

    void accept() override;

private:
    void updateSaveButton();

    SavedViews& m_views;
    QString m_query;
    QLineEdit* m_name;
    QPushButton* m_save;
};
