#include "views/RowCommands.h"

#include "views/FeedCells.h"
#include "views/FeedItemDelegate.h"
#include "views/FeedTableView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMenu>

RowCommands::RowCommands(FeedTableView* table, int linkColumn, QObject* parent)
    : QObject(parent)
    , m_table(table)
    , m_linkColumn(linkColumn)
{
    connect(table->feedDelegate(), &FeedItemDelegate::linkActivated, this, &RowCommands::open);
    connect(table->feedDelegate(), &FeedItemDelegate::actionTriggered, this,
        [this](const QModelIndex& index, const QString& id) {
            for (const auto& [command, action] : m_commands) {
                if (command.id == id)
                    command.run(index.row());
            }
        });
    connect(
        table, &FeedTableView::openRequested, this, [this](const QModelIndex& index) { open(linkOf(index.row())); });
    connect(table, &QWidget::customContextMenuRequested, this, &RowCommands::showMenu);

    add({QStringLiteral("open"), QKeySequence(Qt::Key_O), [](int) { return QStringLiteral("Open in Browser"); },
        [this](int row) { open(linkOf(row)); }});
    add({QStringLiteral("copyLink"), QKeySequence::Copy, [](int) { return QStringLiteral("Copy Link"); },
        [this](int row) {
            const QUrl url = linkOf(row);
            if (url.isValid())
                QApplication::clipboard()->setText(url.toString());
        }});
}

void RowCommands::add(const Command& command)
{
    auto* action = new QAction(command.text(-1), m_table);
    action->setObjectName(command.id + QStringLiteral("Command"));
    action->setShortcut(command.shortcut);
    action->setShortcutContext(Qt::WidgetShortcut);
    m_table->addAction(action);
    connect(action, &QAction::triggered, this, [this, command] { runOnCurrentRow(command); });
    m_commands.append({command, action});
}

void RowCommands::runOnCurrentRow(const Command& command)
{
    const QModelIndex current = m_table->currentIndex();
    if (current.isValid())
        command.run(current.row());
}

QUrl RowCommands::linkOf(int row) const
{
    return m_table->model()->index(row, m_linkColumn).data(FeedCells::LinkRole).toUrl();
}

void RowCommands::open(const QUrl& url)
{
    if (url.isValid())
        QDesktopServices::openUrl(url);
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
    if (!index.isValid())
        return;
    m_table->setCurrentIndex(index);
    auto* menu = new QMenu(m_table);
    menu->setObjectName(QStringLiteral("rowMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool hasLink = linkOf(index.row()).isValid();
    for (const auto& [command, action] : m_commands) {
        action->setText(command.text(index.row()));
        action->setEnabled(hasLink || (command.id != u"open" && command.id != u"copyLink"));
        menu->addAction(action);
        if (command.id == u"copyLink")
            menu->addSeparator();
    }
    menu->popup(m_table->viewport()->mapToGlobal(anchor));
}
