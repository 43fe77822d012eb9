#include "views/ManageViewsDialog.h"

#include "feeds/SavedViews.h"
#include "views/SavedViewModel.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

ManageViewsDialog::ManageViewsDialog(SavedViews& views, QWidget* parent)
    : QDialog(parent)
    , m_views(views)
    , m_model(new SavedViewModel(views, this))
    , m_list(new QListView(this))
{
    setObjectName(QStringLiteral("manageViewsDialog"));
    setWindowTitle(tr("Manage Views"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_list->setObjectName(QStringLiteral("savedViewList"));
    m_list->setAccessibleName(tr("Saved views"));
    m_list->setModel(m_model);
    m_list->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);

    m_rename = addButton(tr("Rename"), QStringLiteral("renameView"));
    m_moveUp = addButton(tr("Move Up"), QStringLiteral("moveViewUp"));
    m_moveDown = addButton(tr("Move Down"), QStringLiteral("moveViewDown"));
    m_delete = addButton(tr("Delete"), QStringLiteral("deleteView"));
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_rename, m_moveUp, m_moveDown, m_delete})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* closeButton = close->button(QDialogButtonBox::Close);
    closeButton->setObjectName(QStringLiteral("closeManageViews"));
    closeButton->setAccessibleName(tr("Close"));

    auto* row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(close);

    connect(close, &QDialogButtonBox::rejected, this, &ManageViewsDialog::reject);
    connect(m_rename, &QPushButton::clicked, this, [this] { m_list->edit(m_list->currentIndex()); });
    connect(m_moveUp, &QPushButton::clicked, this, [this] { moveCurrent(-1); });
    connect(m_moveDown, &QPushButton::clicked, this, [this] { moveCurrent(1); });
    connect(m_delete, &QPushButton::clicked, this, &ManageViewsDialog::deleteCurrent);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &ManageViewsDialog::updateButtons);
    connect(m_model, &QAbstractItemModel::modelReset, this, &ManageViewsDialog::updateButtons);
    if (m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(0));
    updateButtons();
}

QPushButton* ManageViewsDialog::addButton(const QString& text, const QString& objectName)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    return button;
}

int ManageViewsDialog::currentRow() const
{
    return m_list->currentIndex().row();
}

void ManageViewsDialog::moveCurrent(int offset)
{
    const int from = currentRow();
    const int to = from + offset;
    if (from < 0 || to < 0 || to >= m_model->rowCount())
        return;
    m_views.move(from, to);
    // The reset forgot the current row: the moved view stays the one to act on.
    m_list->setCurrentIndex(m_model->index(to));
}

void ManageViewsDialog::deleteCurrent()
{
    const int row = currentRow();
    m_views.remove(row);
    // The next view takes the deleted one's place, so that several go in a row.
    if (m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(std::min(row, m_model->rowCount() - 1)));
}

void ManageViewsDialog::updateButtons()
{
    const int row = currentRow();
    const bool chosen = row >= 0;
    m_rename->setEnabled(chosen);
    m_delete->setEnabled(chosen);
    m_moveUp->setEnabled(row > 0);
    m_moveDown->setEnabled(chosen && row + 1 < m_model->rowCount());
}
