#include "views/AccountPicker.h"

#include "desktop/AccountSessions.h"
#include "views/AccountTableModel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

AccountPicker::AccountPicker(AccountSessions& sessions, AccountTableModel* model, QWidget* parent)
    : QWidget(parent)
    , m_sessions(sessions)
    , m_model(model)
    , m_comboBox(new QComboBox(this))
{
    auto* label = new QLabel(tr("Account"), this);
    label->setBuddy(m_comboBox);
    m_comboBox->setObjectName(QStringLiteral("accountPicker"));
    m_comboBox->setAccessibleName(tr("Account"));
    m_comboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(m_comboBox);

    connect(m_comboBox, &QComboBox::activated, this, [this](int index) {
        const int account = index - 1;
        const QList<AccountSession*>& all = m_sessions.sessions();
        m_model->setShownSession(account >= 0 && account < all.size() ? all[account] : nullptr);
    });
    connect(&m_sessions, &AccountSessions::sessionsChanged, this, &AccountPicker::updateChoices);
    updateChoices();
}

void AccountPicker::updateChoices()
{
    m_comboBox->clear();
    m_comboBox->addItem(tr("All Accounts"));
    int current = 0;
    const QList<AccountSession*>& all = m_sessions.sessions();
    for (int account = 0; account < all.size(); ++account) {
        m_comboBox->addItem(all[account]->label());
        if (all[account] == m_model->shownSession())
            current = account + 1;
    }
    m_comboBox->setCurrentIndex(current);
    setVisible(m_sessions.hasSeveral());
}
