#include "views/FeedTableView.h"

#include "core/Scheduler.h"
#include "views/AccountTableModel.h"
#include "views/FeedItemDelegate.h"
#include "views/Fonts.h"
#include "views/RecordTableModel.h"
#include "views/RepositoryGroupModel.h"
#include "views/RowHighlights.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>

using namespace std::chrono_literals;

FeedTableView::FeedTableView(Scheduler& scheduler, QWidget* parent)
    : QTableView(parent)
    , m_highlights(new RowHighlights(scheduler, this))
    , m_delegate(new FeedItemDelegate(*m_highlights, this))
{
    setItemDelegate(m_delegate);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
    setContextMenuPolicy(Qt::CustomContextMenu);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(
        qMax(QFontMetrics(font()).height(), FeedItemDelegate::actionIconSize) + 2 * FeedItemDelegate::padding + 4);
    QHeaderView* header = horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setFont(Fonts::headline(font()));
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setMinimumSectionSize(40);
    // Header titles start where the cells' text does.
    header->setStyleSheet(
        QStringLiteral("QHeaderView::section { padding-left: %1px; }").arg(FeedItemDelegate::padding - 1));

    // The header resizes the draggable columns only when the user drags them.
    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        if (!m_settingWidths && horizontalHeader()->sectionResizeMode(column) == QHeaderView::Interactive)
            Q_EMIT columnResized();
    });
    connect(m_highlights, &RowHighlights::frameDue, viewport(), qOverload<>(&QWidget::update));
    // Relative times ("1 minute ago") move on with the clock.
    m_minuteRepaint = scheduler.startRepeating(60s, [this] {
        m_delegate->forgetCells();
        viewport()->update();
    });
    connect(this, &QAbstractItemView::doubleClicked, this, &FeedTableView::openRequested);
}

FeedTableView::~FeedTableView() = default;

void FeedTableView::setRecords(RecordTableModel* records, int repositoryColumn)
{
    m_repositoryColumn = repositoryColumn;
    m_groups = new RepositoryGroupModel(repositoryColumn, this);
    m_groups->setSourceModel(records);
    setModel(m_groups);
    if (auto* accounts = qobject_cast<AccountTableModel*>(records))
        connect(accounts, &AccountTableModel::accountsChanged, this, &FeedTableView::updateAccountColumn);
    updateAccountColumn();
}

void FeedTableView::updateAccountColumn()
{
    // The account column shows only while there are several accounts.
    if (const auto* accounts = qobject_cast<const AccountTableModel*>(m_groups->sourceModel()))
        setColumnHidden(accounts->accountColumn(), !accounts->showsSeveralAccounts());
}

bool FeedTableView::isGroupedByRepository() const
{
    return m_groups && m_groups->isGrouped();
}

void FeedTableView::setGroupedByRepository(bool grouped)
{
    if (!m_groups || !canGroupByRepository() || grouped == m_groups->isGrouped())
        return;
    const bool onHeader = m_groups->isHeader(currentIndex().row());
    m_groups->setGrouped(grouped);
    // A header that was current hands over to its group's first record, which is then
    // the selection, as after a click.
    if (onHeader && currentIndex().isValid() && !selectionModel()->hasSelection())
        goToRow(currentIndex().row());
    Q_EMIT groupedByRepositoryChanged(grouped);
}

int FeedTableView::recordRow(const QModelIndex& index) const
{
    if (!m_groups || index.model() != m_groups)
        return -1;
    const QModelIndex record = m_groups->mapToSource(index);
    return record.isValid() ? record.row() : -1;
}

QModelIndex FeedTableView::indexOfRecord(int row, int column) const
{
    if (!m_groups || !m_groups->sourceModel())
        return {};
    return m_groups->mapFromSource(m_groups->sourceModel()->index(row, column));
}

void FeedTableView::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    if (!model)
        return;
    // What the delegate keeps of the rows goes when they change.
    connect(model, &QAbstractItemModel::dataChanged, m_delegate,
        [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
            m_delegate->forgetRows(topLeft.row(), bottomRight.row());
        });
    connect(model, &QAbstractItemModel::layoutChanged, m_delegate, &FeedItemDelegate::forgetCells);
    connect(model, &QAbstractItemModel::modelReset, m_delegate, &FeedItemDelegate::forgetCells);
    connect(model, &QAbstractItemModel::rowsInserted, m_delegate, &FeedItemDelegate::forgetCells);
    connect(model, &QAbstractItemModel::rowsRemoved, m_delegate, &FeedItemDelegate::forgetCells);
    connect(model, &QAbstractItemModel::rowsMoved, m_delegate, &FeedItemDelegate::forgetCells);
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, &FeedTableView::rememberTopRow);
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, &FeedTableView::rememberCurrentRow);
    connect(model, &QAbstractItemModel::layoutChanged, this, &FeedTableView::restoreTopRow);
    connect(model, &QAbstractItemModel::layoutChanged, this, &FeedTableView::restoreCurrentRow);
}

void FeedTableView::setColumnWidths(const QList<int>& widths, const QList<int>& fixedColumns)
{
    const QScopedValueRollback settingWidths(m_settingWidths, true);
    QHeaderView* header = horizontalHeader();
    for (int column = 0; column < widths.size(); ++column) {
        if (widths[column] == 0) {
            header->setSectionResizeMode(column, QHeaderView::Stretch);
            continue;
        }
        header->setSectionResizeMode(
            column, fixedColumns.contains(column) ? QHeaderView::Fixed : QHeaderView::Interactive);
        header->resizeSection(column, widths[column]);
    }
}

QList<int> FeedTableView::resizableColumnWidths() const
{
    const QHeaderView* header = horizontalHeader();
    QList<int> widths;
    for (int column = 0; column < header->count(); ++column)
        widths << (header->sectionResizeMode(column) == QHeaderView::Interactive ? header->sectionSize(column) : 0);
    return widths;
}

void FeedTableView::setResizableColumnWidths(const QList<int>& widths)
{
    const QScopedValueRollback settingWidths(m_settingWidths, true);
    QHeaderView* header = horizontalHeader();
    for (int column = 0; column < std::min<int>(widths.size(), header->count()); ++column) {
        if (header->sectionResizeMode(column) == QHeaderView::Interactive && widths[column] > 0)
            header->resizeSection(
                column, std::clamp(widths[column], header->minimumSectionSize(), header->maximumSectionSize()));
    }
}

void FeedTableView::rememberTopRow()
{
    const int value = verticalScrollBar()->value();
    m_atTop = value == 0;
    const int row = rowAt(0);
    m_topRow = row >= 0 ? QPersistentModelIndex(model()->index(row, 0)) : QPersistentModelIndex();
    m_topOffset = row >= 0 ? rowViewportPosition(row) : 0;
}

void FeedTableView::restoreTopRow()
{
    // The header has taken the new rows; the scroll range follows them now.
    updateGeometries();
    // At the very top the user sees what arrives; anywhere else the row they were
    // looking at stays where it was, whatever came and went above it.
    if (!m_atTop && m_topRow.isValid())
        verticalScrollBar()->setValue(rowViewportPosition(m_topRow.row()) + verticalScrollBar()->value() - m_topOffset);
    else if (m_atTop)
        verticalScrollBar()->setValue(0);
    m_topRow = QPersistentModelIndex();
    setHoveredRow(-1);
}

QList<int> FeedTableView::selectedRowNumbers() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        const int row = recordRow(index);
        if (row >= 0)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FeedTableView::rememberCurrentRow()
{
    const QModelIndex current = currentIndex();
    m_currentRow = current;
    m_hadCurrentRow = current.isValid();
    m_rowsAfterCurrent.clear();
    if (!current.isValid())
        return;
    const QItemSelectionModel* selection = selectionModel();
    for (int row = current.row() + 1; row < model()->rowCount(); ++row) {
        m_rowsAfterCurrent << QPersistentModelIndex(model()->index(row, current.column()));
        if (!selection->isRowSelected(row))
            break;
    }
}

void FeedTableView::restoreCurrentRow()
{
    const bool currentLeft = m_hadCurrentRow && !m_currentRow.isValid();
    m_hadCurrentRow = false;
    m_currentRow = QPersistentModelIndex();
    const QList<QPersistentModelIndex> candidates = std::exchange(m_rowsAfterCurrent, {});
    const int rows = model()->rowCount();
    if (!currentLeft || rows == 0)
        return;
    QModelIndex next = model()->index(rows - 1, 0);
    for (const QPersistentModelIndex& candidate : candidates) {
        if (candidate.isValid()) {
            next = candidate;
            break;
        }
    }
    // The rows that remain of the selection stay selected; when none does, the new
    // current row is the selection, as after a click.
    if (selectionModel()->hasSelection())
        selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
    else
        selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void FeedTableView::setHoveredRow(int row)
{
    const int previous = m_highlights->hoveredRow();
    if (row == previous)
        return;
    m_highlights->setHoveredRow(row);
    repaintRow(previous);
    repaintRow(row);
}

void FeedTableView::mouseMoveEvent(QMouseEvent* event)
{
    setHoveredRow(rowAt(event->position().toPoint().y()));
    QTableView::mouseMoveEvent(event);
}

void FeedTableView::leaveEvent(QEvent* event)
{
    setHoveredRow(-1);
    viewport()->unsetCursor();
    QTableView::leaveEvent(event);
}

void FeedTableView::changeEvent(QEvent* event)
{
    // Texts are cut to fit in the font they are drawn with.
    if (event->type() == QEvent::FontChange)
        m_delegate->forgetCells();
    QTableView::changeEvent(event);
}

void FeedTableView::keyPressEvent(QKeyEvent* event)
{
    if (moveInGroups(event)) {
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        if (recordRow(currentIndex()) >= 0)
            Q_EMIT openRequested(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool FeedTableView::moveInGroups(const QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    if (!isGroupedByRepository() || !current.isValid() || (event->modifiers() & ~Qt::KeypadModifier))
        return false;
    const int row = current.row();
    const bool header = m_groups->isHeader(row);
    switch (event->key()) {
    case Qt::Key_Left:
        if (!header)
            goToRow(m_groups->headerOf(row));
        else if (m_groups->isExpanded(row))
            toggleGroup(row);
        return true;
    case Qt::Key_Right:
        if (!header)
            return false;
        if (!m_groups->isExpanded(row))
            toggleGroup(row);
        else
            goToRow(row + 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!header)
            return false;
        toggleGroup(row);
        return true;
    default:
        return false;
    }
}

void FeedTableView::goToRow(int row)
{
    // As the arrow keys go: the row becomes the selection, a header selecting nothing.
    selectionModel()->setCurrentIndex(model()->index(row, qMax(currentIndex().column(), 0)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void FeedTableView::toggleGroup(int headerRow)
{
    m_groups->setExpanded(headerRow, !m_groups->isExpanded(headerRow));
}

void FeedTableView::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && m_groups && m_groups->isHeader(index.row())) {
        goToRow(index.row());
        toggleGroup(index.row());
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void FeedTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Each press of a double click on a header toggles it; the double click opens nothing.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && m_groups && m_groups->isHeader(index.row())) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void FeedTableView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // A current header is drawn across its whole row.
    repaintRow(previous.row());
    repaintRow(current.row());
}

void FeedTableView::repaintRow(int row)
{
    if (row >= 0)
        viewport()->update(QRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row)));
}
