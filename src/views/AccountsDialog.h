#pragma once

#include "views/AddAccountDialog.h"

#include <QDialog>
#include <QMessageBox>
#include <QPointer>

class AccountDirectory;
class AccountSession;
class AccountSessions;
class QPushButton;
class QTreeWidget;

// "Accounts": the user's accounts with whether a token is stored for each, and the ways to
// add one (AddAccountDialog), sign one in again and remove a further one after asking.
// The first account stays: its keys and token are where the program always kept them.
// The list follows the sessions as they are added and removed.
class AccountsDialog : public QDialog
{
    Q_OBJECT

public:
    AccountsDialog(AccountSessions& sessions, AccountDirectory& directory, QWidget* parent = nullptr);

    // The dialogs it opened, while they are open.
    AddAccountDialog* addAccountDialog() const { return m_addAccount; }
    QMessageBox* removalQuestion() const { return m_removalQuestion; }

Q_SIGNALS:
    // "Sign In Again" for the selected account: the window opens its sign-in sheet.
    void signInRequested(AccountSession* session);

protected:
    // Tokens come and go elsewhere (a sign-in sheet, the command line): the list reads
    // their state again whenever the dialog comes to the front.
    bool event(QEvent* event) override;

private:
    void refresh();
    void updateButtons();
    AccountSession* selectedSession() const;
    void openAddAccount();
    void askToRemove();

    AccountSessions& m_sessions;
    AccountDirectory& m_directory;
    QPointer<AddAccountDialog> m_addAccount;
    QPointer<QMessageBox> m_removalQuestion;

    QTreeWidget* m_list;
    QPushButton* m_addButton;
    QPushButton* m_signInButton;
    QPushButton* m_removeButton;
    QPushButton* m_closeButton;
};
