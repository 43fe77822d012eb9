#include "views/SavedViewPicker.h"

#include "feeds/SavedViews.h"
#include "views/ManageViewsDialog.h"
#include "views/SaveViewDialog.h"
#include "views/SavedViewModel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QToolButton>

SavedViewPicker::SavedViewPicker(SavedViews& views, QWidget* parent)
    : QWidget(parent)
    , m_views(views)
    , m_model(new SavedViewModel(views, this))
    , m_picker(new QComboBox(this))
    , m_save(new QToolButton(this))
    , m_manage(new QToolButton(this))
{
    setObjectName(QStringLiteral("savedViews"));
    m_picker->setObjectName(QStringLiteral("savedViewPicker"));
    m_picker->setAccessibleName(tr("Views"));
    m_picker->setPlaceholderText(tr("Views"));
    m_picker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_picker->setMinimumContentsLength(12);
    m_picker->setModel(m_model);
    m_save->setObjectName(QStringLiteral("saveView"));
    m_save->setText(tr("Save View…"));
    m_save->setAccessibleName(tr("Save View"));
    m_save->setToolTip(tr("Keep the filter's query under a name"));
    m_manage->setObjectName(QStringLiteral("manageViews"));
    m_manage->setText(tr("Manage Views…"));
    m_manage->setAccessibleName(tr("Manage Views"));
    m_manage->setToolTip(tr("Rename, reorder or delete saved views"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_picker);
    layout->addWidget(m_save);
    layout->addWidget(m_manage);

    connect(m_picker, &QComboBox::activated, this,
        [this](int row) { Q_EMIT chosen(m_model->index(row).data(SavedViewModel::QueryRole).toString()); });
    connect(m_save, &QToolButton::clicked, this, &SavedViewPicker::openSaveDialog);
    connect(m_manage, &QToolButton::clicked, this, &SavedViewPicker::openManageDialog);
    // A rename or reset leaves the combo box on a row that may no longer be the field's.
    connect(m_model, &QAbstractItemModel::modelReset, this, &SavedViewPicker::showCurrentView);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &SavedViewPicker::showCurrentView);
    setQuery(QString());
}

void SavedViewPicker::setQuery(const QString& query)
{
    m_query = query;
    m_save->setEnabled(canSave());
    showCurrentView();
}

void SavedViewPicker::showCurrentView()
{
    int current = -1;
    for (int row = 0; row < m_model->rowCount() && current < 0; ++row) {
        if (m_model->index(row).data(SavedViewModel::QueryRole).toString() == m_query)
            current = row;
    }
    m_picker->setCurrentIndex(current);
}

void SavedViewPicker::openSaveDialog()
{
    if (!canSave())
        return;
    auto* dialog = new SaveViewDialog(m_views, m_query, this);
    dialog->open();
}

void SavedViewPicker::openManageDialog()
{
    // One dialog per picker: asking again brings the open one forward.
    auto* open = findChild<ManageViewsDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new ManageViewsDialog(m_views, this);
    dialog->show();
}
