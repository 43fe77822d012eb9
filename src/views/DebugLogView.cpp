#include "views/DebugLogView.h"

#include "core/DebugLogger.h"
#include "views/Fonts.h"
#include "views/LogEntryDelegate.h"
#include "views/LogEntryModel.h"
#include "views/ScheduledAnimation.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>

using namespace std::chrono_literals;

DebugLogView::DebugLogView(DebugLogger& logger, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent)
    , m_logger(logger)
    , m_model(new LogEntryModel(logger, this))
    , m_levelPicker(new QComboBox(this))
    , m_clearButton(new QPushButton(tr("Clear"), this))
    , m_list(new QListView(this))
    , m_scroll(new ScheduledAnimation(scheduler, this))
    , m_count(logger.logs().size())
{
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("debugLogHeader"));
    header->setAutoFillBackground(true);
    header->setBackgroundRole(QPalette::Base);
    auto* title = new QLabel(tr("Debug Logs"), header);
    title->setFont(Fonts::headline(font()));
    auto* levelLabel = new QLabel(tr("Level"), header);
    levelLabel->setBuddy(m_levelPicker);
    m_levelPicker->setObjectName(QStringLiteral("levelFilter"));
    m_levelPicker->setAccessibleName(tr("Level"));
    m_levelPicker->setFixedWidth(120);
    m_levelPicker->addItem(tr("All"));
    for (LogLevel level : allLogLevels())
        m_levelPicker->addItem(rawValue(level), static_cast<int>(level));
    m_clearButton->setObjectName(QStringLiteral("clearLogs"));
    m_clearButton->setAccessibleName(tr("Clear"));

    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(8, 8, 8, 8);
    headerLayout->addWidget(title);
    headerLayout->addStretch();
    headerLayout->addWidget(levelLabel);
    headerLayout->addWidget(m_levelPicker);
    headerLayout->addWidget(m_clearButton);

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);

    m_list->setObjectName(QStringLiteral("logEntries"));
    m_list->setAccessibleName(tr("Log entries"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(new LogEntryDelegate(m_list));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSpacing(1);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* copy = new QAction(tr("Copy"), m_list);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    m_list->addAction(copy);
    connect(copy, &QAction::triggered, this, &DebugLogView::copySelection);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(divider);
    layout->addWidget(m_list, 1);

    connect(m_levelPicker, &QComboBox::currentIndexChanged, this, [this] {
        const QVariant level = m_levelPicker->currentData();
        m_model->setLevelFilter(level.isValid() ? std::optional(static_cast<LogLevel>(level.toInt())) : std::nullopt);
    });
    connect(m_clearButton, &QPushButton::clicked, &m_logger, &DebugLogger::clearLogs);
    connect(&m_logger, &DebugLogger::logsChanged, this, &DebugLogView::followCount);
    connect(m_scroll, &ScheduledAnimation::valueChanged, this,
        [this](qreal value) { m_list->verticalScrollBar()->setValue(qRound(value)); });
}

void DebugLogView::followCount()
{
    // Tied to the count: once the log is full, an entry in and the oldest out leave it
    // unchanged, and the view stays where the user scrolled.
    const QList<LogEntry>& logs = m_logger.logs();
    if (logs.size() == m_count)
        return;
    m_count = logs.size();
    if (logs.isEmpty())
        return;
    const int row = m_model->rowOf(logs.last().id);
    if (row < 0)
        return;
    QScrollBar* bar = m_list->verticalScrollBar();
    const int from = bar->value();
    m_list->scrollTo(m_model->index(row), QAbstractItemView::PositionAtBottom);
    const int to = bar->value();
    bar->setValue(from);
    m_scroll->start(from, to, 300ms, QEasingCurve::OutCubic);
}

void DebugLogView::copySelection()
{
    QModelIndexList rows = m_list->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (const QModelIndex& index : rows)
        lines << LogEntryModel::lineOf(m_model->entryAt(index.row()));
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join(u'\n'));
}
