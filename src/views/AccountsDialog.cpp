#include "views/AccountsDialog.h"

#include "desktop/AccountSessions.h"
#include "storage/SecureStorage.h"
#include "views/AddAccountDialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum AccountColumn {
    kAccountColumn,
    kTokenColumn,
};

} // namespace

AccountsDialog::AccountsDialog(AccountSessions& sessions, AccountDirectory& directory, QWidget* parent)
    : QDialog(parent)
    , m_sessions(sessions)
    , m_directory(directory)
{
    setObjectName(QStringLiteral("accountsDialog"));
    setWindowTitle(tr("Accounts"));
    setMinimumSize(480, 280);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("accountList"));
    m_list->setAccessibleName(tr("Accounts"));
    m_list->setHeaderLabels({tr("Account"), tr("Token")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(kAccountColumn, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(kTokenColumn, QHeaderView::ResizeToContents);

    m_addButton = new QPushButton(tr("Add Account…"), this);
    m_addButton->setObjectName(QStringLiteral("addAccount"));
    m_addButton->setAccessibleName(tr("Add Account…"));
    m_signInButton = new QPushButton(tr("Sign In Again"), this);
    m_signInButton->setObjectName(QStringLiteral("signInAgain"));
    m_signInButton->setAccessibleName(tr("Sign In Again"));
    m_removeButton = new QPushButton(tr("Remove"), this);
    m_removeButton->setObjectName(QStringLiteral("removeAccount"));
    m_removeButton->setAccessibleName(tr("Remove"));
    m_closeButton = new QPushButton(tr("Close"), this);
    m_closeButton->setObjectName(QStringLiteral("closeAccounts"));
    m_closeButton->setAccessibleName(tr("Close"));
    for (QPushButton* button : {m_addButton, m_signInButton, m_removeButton})
        button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_signInButton);
    buttons->addWidget(m_removeButton);
    buttons->addStretch();
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    connect(m_list, &QTreeWidget::currentItemChanged, this, &AccountsDialog::updateButtons);
    connect(m_addButton, &QPushButton::clicked, this, &AccountsDialog::openAddAccount);
    connect(m_signInButton, &QPushButton::clicked, this, [this] {
        if (AccountSession* session = selectedSession())
            Q_EMIT signInRequested(session);
    });
    connect(m_removeButton, &QPushButton::clicked, this, &AccountsDialog::askToRemove);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(&m_sessions, &AccountSessions::sessionsChanged, this, &AccountsDialog::refresh);
    refresh();
}

void AccountsDialog::refresh()
{
    const AccountSession* selected = selectedSession();
    m_list->clear();
    for (AccountSession* session : m_sessions.sessions()) {
        const QString token = SecureStorage(session->environment()).hasToken() ? tr("token stored") : tr("no token");
        auto* item = new QTreeWidgetItem(m_list, {session->label(), token});
        item->setData(kAccountColumn, Qt::AccessibleDescriptionRole, token);
        item->setToolTip(kAccountColumn, session->account().name());
        if (session == selected)
            m_list->setCurrentItem(item);
    }
    if (!m_list->currentItem())
        m_list->setCurrentItem(m_list->topLevelItem(0));
    updateButtons();
}

AccountSession* AccountsDialog::selectedSession() const
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    return row >= 0 && row < m_sessions.sessions().size() ? m_sessions.sessions().at(row) : nullptr;
}

void AccountsDialog::updateButtons()
{
    const AccountSession* session = selectedSession();
    const bool first = session && session == &m_sessions.first();
    m_signInButton->setEnabled(session != nullptr);
    m_removeButton->setEnabled(session && !first);
    m_removeButton->setToolTip(
        first ? tr("The first account cannot be removed; “Sign In Again” replaces its token.") : QString());
}

void AccountsDialog::openAddAccount()
{
    if (m_addAccount) {
        m_addAccount->raise();
        m_addAccount->activateWindow();
        return;
    }
    auto* dialog = new AddAccountDialog(m_sessions, m_directory, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_addAccount = dialog;
    dialog->open();
}

void AccountsDialog::askToRemove()
{
    AccountSession* session = selectedSession();
    if (!session || session == &m_sessions.first() || m_removalQuestion)
        return;
    auto* question = new QMessageBox(
        QMessageBox::Warning, tr("Remove Account"), tr("Remove %1?").arg(session->label()), QMessageBox::Cancel, this);
    question->setObjectName(QStringLiteral("removeAccountQuestion"));
    question->setInformativeText(tr("Its token, caches, marks, favourites and archive are deleted from this "
                                    "computer. Nothing of your other accounts is touched."));
    QPushButton* remove = question->addButton(tr("Remove"), QMessageBox::DestructiveRole);
    remove->setObjectName(QStringLiteral("confirmRemove"));
    remove->setAccessibleName(tr("Remove"));
    question->setDefaultButton(QMessageBox::Cancel);
    question->setAttribute(Qt::WA_DeleteOnClose);
    // The session may be gone by the time of the answer.
    const QPointer<AccountSession> target(session);
    connect(question, &QMessageBox::finished, this, [this, question, remove, target] {
        if (question->clickedButton() == remove && target)
            m_sessions.remove(target);
    });
    m_removalQuestion = question;
    question->open();
}

bool AccountsDialog::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        refresh();
    return QDialog::event(event);
}
