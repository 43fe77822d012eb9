#include "views/RowCommands.h"

#include "views/FeedItemDelegate.h"
#include "views/FeedTableView.h"
#include "views/RecordTableModel.h"
#include "views/RowActions.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>

RowCommands::RowCommands(FeedTableView* table, RecordTableModel* model, QObject* parent)
    : QObject(parent)
    , m_table(table)
    , m_model(model)
    , m_menu(new QMenu(table))
{
    m_menu->setObjectName(QStringLiteral("rowMenu"));
    for (const RowAction& action : model->rowActions().all()) {
        auto* item = new QAction(action.face.menuText, m_menu);
        item->setObjectName(action.id + QStringLiteral("Command"));
        item->setShortcut(action.shortcut);
        item->setShortcutContext(Qt::WidgetShortcut);
        connect(item, &QAction::triggered, this, [this, id = action.id] { runOnSelection(id); });
        m_table->addAction(item);
        m_menu->addAction(item);
        if (action.endsGroup)
            m_menu->addSeparator();
        m_items.insert(action.id, item);
    }

    connect(table->feedDelegate(), &FeedItemDelegate::linkActivated, this, &RowCommands::open);
    connect(table->feedDelegate(), &FeedItemDelegate::actionTriggered, this,
        [this](const QModelIndex& index, const QString& id) { run(id, m_table->recordRow(index)); });
    connect(table, &FeedTableView::openRequested, this,
        [this](const QModelIndex& index) { run(QStringLiteral("open"), m_table->recordRow(index)); });
    connect(table, &QWidget::customContextMenuRequested, this, &RowCommands::showMenu);
    // The items carry the shortcuts: one disabled for the row the menu was shown on
    // must not stay dead for the others.
    connect(m_menu, &QMenu::aboutToHide, this, [this] {
        for (QAction* item : std::as_const(m_items))
            item->setEnabled(true);
    });
}

void RowCommands::open(const QUrl& url)
{
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

void RowCommands::run(const QString& id, int row) const
{
    const RecordTableModel* model = m_model.data();
    const RowAction* action = model && row >= 0 ? model->rowActions().find(id) : nullptr;
    if (action && action->availableAt(row))
        action->run(row);
}

void RowCommands::runOnSelection(const QString& id) const
{
    const RecordTableModel* model = m_model.data();
    const RowAction* action = model ? model->rowActions().find(id) : nullptr;
    const QList<int> selected = m_table->selectedRowNumbers();
    if (action && action->runOnRows && selected.size() > 1) {
        const QList<int> rows = action->availableOf(selected);
        if (!rows.isEmpty())
            action->runOnRows(rows);
        return;
    }
    run(id, m_table->recordRow(m_table->currentIndex()));
}

void RowCommands::showMenu(const QPoint& position)
{
    QModelIndex index = m_table->indexAt(position);
    QPoint anchor = position;
    if (!index.isValid()) {
        // From the keyboard: the current row's.
        index = m_table->currentIndex();
        anchor = m_table->visualRect(index).center();
    }
    const RecordTableModel* model = m_model.data();
    // A group's header has no menu.
    const int row = m_table->recordRow(index);
    if (row < 0 || !model)
        return;
    // A click inside a selection of several rows keeps it; anywhere else it selects
    // the row.
    QList<int> selected = m_table->selectedRowNumbers();
    if (selected.size() > 1 && selected.contains(row)) {
        m_table->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    } else {
        m_table->setCurrentIndex(index);
        selected = {row};
    }
    for (const RowAction& action : model->rowActions().all()) {
        QAction* item = m_items.value(action.id);
        if (action.runOnRows && selected.size() > 1) {
            item->setText(action.faceFor(selected).menuText);
            item->setEnabled(!action.availableOf(selected).isEmpty());
        } else {
            item->setText(action.faceAt(row).menuText);
            item->setEnabled(action.availableAt(row));
        }
    }
    m_menu->popup(m_table->viewport()->mapToGlobal(anchor));
}
