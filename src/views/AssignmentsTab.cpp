#include "views/AssignmentsTab.h"

#include "assignments/AssignmentsViewModel.h"
#include "core/Scheduler.h"
#include "desktop/AccountSessions.h"
#include "views/AccountPicker.h"
#include "views/AssignmentListModel.h"
#include "views/BottomArea.h"
#include "views/ColorPalette.h"
#include "views/CountRow.h"
#include "views/FeedBindings.h"
#include "views/FeedStatusArea.h"
#include "views/FeedTableView.h"
#include "views/FilterRow.h"
#include "views/Fonts.h"
#include "views/LoadingCard.h"
#include "views/RowCommands.h"
#include "views/SelectionBar.h"
#include "views/Symbols.h"
#include "views/Toast.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kActionsWidth = 85;

// The columns after Actions: Title takes what the others leave.
const QList<int> kColumnWidths {kActionsWidth, 0, 200, 60, 120, 80, 110};

} // namespace

AssignmentsTab::AssignmentsTab(AccountSessions& sessions, QWidget* parent)
    : QWidget(parent)
    , m_sessions(sessions)
    , m_viewModel(sessions.first().assignments())
    , m_scheduler(*sessions.first().environment().scheduler)
    , m_model(new AssignmentListModel(sessions, AssignmentListModel::Source::Table, m_scheduler, this))
    , m_table(new FeedTableView(m_scheduler, this))
    , m_favoritesFilter(new QToolButton(m_table->horizontalHeader()))
    , m_loadingCard(new LoadingCard(tr("Syncing assignments..."), m_table, {.indicatorSize = 36, .shadow = true}))
    , m_bottomArea(new BottomArea([this] { return buildArchivedPanel(); }, m_scheduler, this))
    , m_toast(new Toast(this, m_scheduler, 20))
{
    setObjectName(QStringLiteral("assignmentsTab"));
    m_table->setObjectName(QStringLiteral("assignmentsTable"));
    m_table->setAccessibleName(tr("Assignments"));
    m_table->setRecords(m_model, AssignmentListModel::RepositoryColumn);
    m_table->setColumnWidths(kColumnWidths, {AssignmentListModel::ActionsColumn});
    auto* commands = new RowCommands(m_table, m_model, this);

    m_favoritesFilter->setObjectName(QStringLiteral("favoritesFilter"));
    m_favoritesFilter->setAccessibleName(tr("Show only favorites"));
    m_favoritesFilter->setToolTip(tr("Show only favorites"));
    m_favoritesFilter->setCheckable(true);
    m_favoritesFilter->setAutoRaise(true);
    m_favoritesFilter->setCursor(Qt::PointingHandCursor);
    m_favoritesFilter->setIconSize(QSize(18, 18));
    connect(m_favoritesFilter, &QToolButton::clicked, this, [this] {
        const bool only = !m_viewModel.showOnlyFavorites();
        const AccountTableModel::Batch batch(*m_model);
        for (AccountSession* session : m_sessions.sessions())
            session->assignments().setShowOnlyFavorites(only);
    });
    connect(m_table->horizontalHeader(), &QHeaderView::geometriesChanged, this, &AssignmentsTab::placeFavoritesFilter);
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this, &AssignmentsTab::placeFavoritesFilter);

    auto* statusRow = new QWidget(this);
    auto* statusLayout = new QHBoxLayout(statusRow);
    statusLayout->setContentsMargins(12, 4, 12, 8);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeaderRow());
    layout->addWidget(buildFilterRow());
    layout->addWidget(buildCountRow());
    layout->addWidget(m_table, 1);
    layout->addWidget(new SelectionBar(m_table, m_model, *commands, this));
    layout->addWidget(m_bottomArea);
    layout->addWidget(statusRow);

    m_statusArea = new FeedStatusArea(
        sessions, [](AccountSession& session) -> FeedController& { return session.assignments(); }, 8, m_loadingCard,
        m_autoReload, statusRow);
    statusLayout->addWidget(m_statusArea);
    const auto enableWhileIdle = [this] {
        const bool idle = !m_statusArea->isLoading();
        m_addButton->setEnabled(idle);
        m_resyncButton->setEnabled(idle);
        m_autoReload->setEnabled(idle);
    };
    connect(m_statusArea, &FeedStatusArea::isLoadingChanged, this, enableWhileIdle);
    enableWhileIdle();
    for (AccountSession* session : sessions.sessions())
        adopt(session);
    connect(&sessions, &AccountSessions::sessionAdded, this, &AssignmentsTab::adopt);
    connect(
        &m_viewModel, &AssignmentsViewModel::showOnlyFavoritesChanged, this, &AssignmentsTab::updateFavoritesFilter);
    connect(&m_viewModel, &AssignmentsViewModel::textFilterChanged, this, &AssignmentsTab::updateFilter);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &AssignmentsTab::updateCount);
    updateFilter();
    updateFavoritesFilter();

    // A web address pasted anywhere in the tab but a text field goes into the URL field.
    auto* paste = new QAction(this);
    paste->setShortcut(QKeySequence::Paste);
    paste->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(paste, &QAction::triggered, this, &AssignmentsTab::pasteAddress);
    addAction(paste);
}

AssignmentsTab::~AssignmentsTab()
{
    // The header changes its geometry as the children are hidden on the way out.
    m_table->horizontalHeader()->disconnect(this);
}

QWidget* AssignmentsTab::buildHeaderRow()
{
    auto* row = new QWidget(this);
    m_urlField = new QLineEdit(row);
    m_urlField->setObjectName(QStringLiteral("assignmentUrl"));
    m_urlField->setAccessibleName(tr("Assignment URL"));
    m_urlField->setPlaceholderText(tr("Enter assignment URL"));
    m_urlField->setFixedWidth(300);
    m_addButton = FeedBindings::namedButton(tr("Add Assignment"), QStringLiteral("addAssignment"), row);
    m_resyncButton = FeedBindings::namedButton(tr("Re-sync"), QStringLiteral("resyncAssignments"), row);
    m_resyncButton->setToolTip(tr("Re-read every assignment, then sync (Ctrl+R)"));
    m_autoReload = FeedBindings::autoSyncSwitch(QStringLiteral("autoSyncAssignments"), row);
    m_accountPicker = new AccountPicker(m_sessions, m_model, row);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(m_urlField);
    layout->addWidget(m_addButton);
    layout->addSpacing(8);
    layout->addWidget(m_accountPicker);
    layout->addSpacing(8);
    layout->addWidget(m_resyncButton);
    layout->addSpacing(8);
    layout->addWidget(m_autoReload);
    layout->addStretch();

    connect(m_addButton, &QPushButton::clicked, this, &AssignmentsTab::addFromField);
    connect(m_urlField, &QLineEdit::returnPressed, this, [this] {
        if (m_addButton->isEnabled())
            addFromField();
    });
    const auto resyncAll = [this] {
        for (AccountSession* session : m_sessions.sessions())
            session->assignments().resyncAll();
    };
    connect(m_resyncButton, &QPushButton::clicked, this, resyncAll);
    FeedBindings::addResyncShortcut(this, [this, resyncAll] {
        if (m_resyncButton->isEnabled())
            resyncAll();
    });
    return row;
}

QWidget* AssignmentsTab::buildFilterRow()
{
    m_filterRow = new FilterRow(
        tr("Filter assignments"), tr("Filter assignments..."),
        [this](const QString& token) { return m_viewModel.filterCompletions(token); }, m_viewModel.savedViews(), this);
    connect(m_filterRow, &FilterRow::edited, this, &AssignmentsTab::setTextFilter);
    connect(m_filterRow, &FilterRow::clearRequested, this, [this] { setTextFilter(QString()); });
    return m_filterRow;
}

QWidget* AssignmentsTab::buildCountRow()
{
    m_countRow = new CountRow(QStringLiteral("assignmentCount"), this);
    return m_countRow;
}

QWidget* AssignmentsTab::buildArchivedPanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("archivedPanel"));
    auto* heading = new QLabel(tr("Archived Assignments"), panel);
    heading->setFont(Fonts::headline(font()));
    heading->setContentsMargins(8, 6, 8, 6);
    auto* table = new FeedTableView(m_scheduler, panel);
    table->setObjectName(QStringLiteral("archivedTable"));
    table->setAccessibleName(tr("Archived Assignments"));
    table->horizontalHeader()->hide();
    auto* model = new AssignmentListModel(m_sessions, AssignmentListModel::Source::Archived, m_scheduler, table);
    table->setRecords(model);
    // Its header is hidden: its columns follow the table above.
    table->setColumnWidths(kColumnWidths, {AssignmentListModel::ActionsColumn});
    table->setResizableColumnWidths(m_table->resizableColumnWidths());
    connect(m_table, &FeedTableView::columnResized, table,
        [this, table] { table->setResizableColumnWidths(m_table->resizableColumnWidths()); });
    new RowCommands(table, model, table);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(heading);
    layout->addWidget(table, 1);
    return panel;
}

void AssignmentsTab::setTextFilter(const QString& text)
{
    const AccountTableModel::Batch batch(*m_model);
    for (AccountSession* session : m_sessions.sessions())
        session->assignments().setTextFilter(text);
}

void AssignmentsTab::adopt(AccountSession* session)
{
    AssignmentsViewModel& viewModel = session->assignments();
    connect(&viewModel, &AssignmentsViewModel::toastMessageChanged, this,
        [this, &viewModel] { m_toast->showMessage(viewModel.toastMessage()); });
    if (&viewModel == &m_viewModel)
        return;
    viewModel.setTextFilter(m_viewModel.textFilter());
    viewModel.setShowOnlyFavorites(m_viewModel.showOnlyFavorites());
}

void AssignmentsTab::updateFilter()
{
    m_filterRow->setFilter(m_viewModel.textFilter(), m_viewModel.filterQuery().hints());
    updateCount();
}

void AssignmentsTab::updateCount()
{
    m_countRow->show(tr("Total Assignments: %1").arg(m_model->rowCount()), m_viewModel.textFilter());
}

void AssignmentsTab::placeFavoritesFilter()
{
    const QHeaderView* header = m_table->horizontalHeader();
    m_favoritesFilter->setGeometry(header->sectionViewportPosition(AssignmentListModel::ActionsColumn), 0,
        header->sectionSize(AssignmentListModel::ActionsColumn), header->height());
}

void AssignmentsTab::updateFavoritesFilter()
{
    const bool only = m_viewModel.showOnlyFavorites();
    m_favoritesFilter->setChecked(only);
    m_favoritesFilter->setIcon(Symbols::tinted(only ? QStringLiteral("star.fill") : QStringLiteral("star"),
        ColorPalette(palette()).color(ColorPalette::Name::Yellow)));
}

void AssignmentsTab::addFromField()
{
    const QString address = m_urlField->text();
    m_sessions.sessionFor(address).assignments().addAssignment(address);
    m_urlField->clear();
}

void AssignmentsTab::pasteAddress()
{
    const QUrl url(QApplication::clipboard()->text().trimmed(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"https" && url.scheme() != u"http"))
        return;
    m_urlField->setText(url.toString());
    m_urlField->setFocus(Qt::ShortcutFocusReason);
}

void AssignmentsTab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_toast->setReservedBottom(height() - m_bottomArea->geometry().bottom());
    placeFavoritesFilter();
}

void AssignmentsTab::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The star is tinted for the palette it was drawn with.
    if (event->type() == QEvent::PaletteChange)
        updateFavoritesFilter();
}
