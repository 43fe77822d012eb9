#include "views/SelectionBar.h"

#include "views/FeedBindings.h"
#include "views/FeedTableView.h"
#include "views/RecordTableModel.h"
#include "views/RowActions.h"
#include "views/RowCommands.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>

SelectionBar::SelectionBar(FeedTableView* table, RecordTableModel* model, const RowCommands& commands, QWidget* parent)
    : QWidget(parent)
    , m_table(table)
    , m_model(model)
    , m_count(new QLabel(this))
{
    setObjectName(table->objectName() + QStringLiteral("SelectionBar"));
    m_count->setObjectName(QStringLiteral("selectionCount"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 6, 12, 6);
    layout->addWidget(m_count);
    layout->addSpacing(8);
    for (const RowAction& action : model->rowActions().all()) {
        if (!action.runOnRows)
            continue;
        auto* button = FeedBindings::namedButton(action.face.menuText, action.id + QStringLiteral("Selection"), this);
        connect(button, &QPushButton::clicked, this, [&commands, id = action.id] { commands.runOnSelection(id); });
        layout->addWidget(button);
        m_buttons.insert(action.id, button);
    }
    layout->addStretch();

    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &SelectionBar::showSelection);
    // A star or the server's offer of Done changes what the buttons say or which show.
    connect(model, &QAbstractItemModel::dataChanged, this, &SelectionBar::showSelection);
    connect(model, &QAbstractItemModel::layoutChanged, this, &SelectionBar::showSelection);
    showSelection();
}

void SelectionBar::showSelection()
{
    const bool any = m_table->selectionModel()->hasSelection();
    const QList<int> rows = any ? m_table->selectedRowNumbers() : QList<int> {};
    const RecordTableModel* model = m_model.data();
    setVisible(model && rows.size() > 1);
    if (!isVisibleTo(parentWidget()))
        return;
    m_count->setText(tr("%n selected", nullptr, static_cast<int>(rows.size())));
    for (const RowAction& action : model->rowActions().all()) {
        QPushButton* button = m_buttons.value(action.id);
        if (!button)
            continue;
        const QString text = action.faceFor(rows).menuText;
        button->setText(text);
        button->setAccessibleName(text);
        button->setVisible(!action.availableOf(rows).isEmpty());
    }
}
