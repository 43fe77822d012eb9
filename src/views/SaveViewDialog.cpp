#include "views/SaveViewDialog.h"

#include "feeds/SavedViews.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

SaveViewDialog::SaveViewDialog(SavedViews& views, QString query, QWidget* parent)
    : QDialog(parent)
    , m_views(views)
    , m_query(std::move(query))
    , m_name(new QLineEdit(this))
{
    setObjectName(QStringLiteral("saveViewDialog"));
    setWindowTitle(tr("Save View"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* queryText = new QLabel(m_query, this);
    queryText->setObjectName(QStringLiteral("savedQuery"));
    queryText->setAccessibleName(tr("Query"));
    queryText->setTextFormat(Qt::PlainText);
    queryText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_name->setObjectName(QStringLiteral("viewName"));
    m_name->setAccessibleName(tr("View name"));
    m_name->setMinimumWidth(240);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    m_save = buttons->button(QDialogButtonBox::Save);
    m_save->setObjectName(QStringLiteral("saveViewButton"));
    m_save->setAccessibleName(tr("Save"));
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancelSaveView"));
    cancel->setAccessibleName(tr("Cancel"));

    auto* form = new QFormLayout;
    form->addRow(tr("Query:"), queryText);
    form->addRow(tr("Name:"), m_name);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &SaveViewDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SaveViewDialog::reject);
    connect(m_name, &QLineEdit::textChanged, this, &SaveViewDialog::updateSaveButton);
    updateSaveButton();
}

void SaveViewDialog::accept()
{
    const QString name = m_name->text().trimmed();
    if (name.isEmpty())
        return;
    m_views.save({name, m_query});
    QDialog::accept();
}

void SaveViewDialog::updateSaveButton()
{
    m_save->setEnabled(!m_name->text().trimmed().isEmpty());
}
