#pragma once

#include <QWidget>

class AccountSessions;
class AccountTableModel;
class QComboBox;

// "Account" with its choices "All Accounts" and each account ("mona · github.example.com"):
// filters a feed table to one account's rows. Shown only while there are several accounts;
// when the chosen account goes, the table shows every account's rows again.
class AccountPicker : public QWidget
{
    Q_OBJECT

public:
    AccountPicker(AccountSessions& sessions, AccountTableModel* model, QWidget* parent = nullptr);

private:
    void updateChoices();

    AccountSessions& m_sessions;
    AccountTableModel* m_model;
    QComboBox* m_comboBox;
};
