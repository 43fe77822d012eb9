#include "ConsoleCapture.h"
#include "VirtualScheduler.h"
#include "Widgets.h"
#include "core/DebugLogger.h"
#include "views/DebugLogView.h"
#include "views/LogEntryModel.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// 14:03:27.512 local time (the tests run in UTC).
const QDateTime kStart(QDate(2026, 12, 5), QTime(14, 3, 27, 512), QTimeZone::utc());

QStringList messages(const QAbstractItemModel& model)
{
    QStringList result;
    for (int row = 0; row < model.rowCount(); ++row)
        result << model.index(row, 0).data(LogEntryModel::MessageRole).toString();
    return result;
}

} // namespace

// The debug log window's content: the level filter, "Clear", the newest entry kept in
// view, and the rows of the list.
class TestDebugLogView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void filtersByLevelAndShowsAllAgain();
    void clearEmptiesTheList();
    void rowShowsTimeMarkSourceAndMessage();
    void scrollsToTheNewestEntryWhenTheCountChanges();

private:
    void log(const QString& message, LogLevel level);

    std::unique_ptr<VirtualScheduler> m_scheduler;
    ConsoleCapture m_echo;
    std::unique_ptr<DebugLogger> m_logger;
    std::unique_ptr<DebugLogView> m_view;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

void TestDebugLogView::init()
{
    m_scheduler = std::make_unique<VirtualScheduler>(kStart);
    m_logger = std::make_unique<DebugLogger>(*m_scheduler, m_echo);
    m_view = std::make_unique<DebugLogView>(*m_logger, *m_scheduler);
    m_view->resize(800, 300);
    m_view->show();
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TestDebugLogView::cleanup()
{
    m_tester.reset();
    m_view.reset();
    m_logger.reset();
}

void TestDebugLogView::log(const QString& message, LogLevel level)
{
    m_logger->log(message, level, u"OAuth"_s);
    QCoreApplication::processEvents();
}

void TestDebugLogView::filtersByLevelAndShowsAllAgain()
{
    log(u"one"_s, LogLevel::Info);
    log(u"two"_s, LogLevel::Error);
    log(u"three"_s, LogLevel::Debug);
    log(u"four"_s, LogLevel::Error);
    auto* picker = widget<QComboBox>(m_view.get(), u"levelFilter"_s);
    QCOMPARE(
        comboItems(picker), (QStringList {u"All"_s, u"DEBUG"_s, u"INFO"_s, u"WARNING"_s, u"ERROR"_s, u"SUCCESS"_s}));

    picker->setCurrentText(u"ERROR"_s);
    QCOMPARE(messages(*m_view->model()), (QStringList {u"two"_s, u"four"_s}));
    log(u"five"_s, LogLevel::Info);
    log(u"six"_s, LogLevel::Error);
    QCOMPARE(messages(*m_view->model()), (QStringList {u"two"_s, u"four"_s, u"six"_s}));
    picker->setCurrentText(u"All"_s);
    QCOMPARE(
        messages(*m_view->model()), (QStringList {u"one"_s, u"two"_s, u"three"_s, u"four"_s, u"five"_s, u"six"_s}));
}

void TestDebugLogView::clearEmptiesTheList()
{
    log(u"one"_s, LogLevel::Info);
    log(u"two"_s, LogLevel::Success);
    QTest::mouseClick(widget<QPushButton>(m_view.get(), u"clearLogs"_s), Qt::LeftButton);
    QCOMPARE(m_view->model()->rowCount(), 2);
    QCoreApplication::processEvents();
    QCOMPARE(m_view->model()->rowCount(), 0);
}

void TestDebugLogView::rowShowsTimeMarkSourceAndMessage()
{
    log(u"Device code received"_s, LogLevel::Success);
    const QModelIndex row = m_view->model()->index(0, 0);
    QCOMPARE(row.data(LogEntryModel::TimeTextRole).toString(), u"14:03:27.512"_s);
    QCOMPARE(row.data(Qt::DisplayRole).toString(), u"14:03:27.512 ✅ [OAuth] Device code received"_s);
}

// Tied to the count of entries: once the log holds 100, an entry in and the oldest out
// leave the view where the user scrolled it.
void TestDebugLogView::scrollsToTheNewestEntryWhenTheCountChanges()
{
    QScrollBar* bar = widget<QListView>(m_view.get(), u"logEntries"_s)->verticalScrollBar();
    for (int i = 1; i <= DebugLogger::maxLogs; ++i)
        log(u"entry %1"_s.arg(i), LogLevel::Info);
    m_scheduler->advance(300ms);
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    bar->setValue(0);
    log(u"entry 101"_s, LogLevel::Info);
    m_scheduler->advance(300ms);
    QCOMPARE(m_view->model()->rowCount(), DebugLogger::maxLogs);
    QCOMPARE(bar->value(), 0);

    // Hidden by the filter, the newest entry has no row to scroll to.
    widget<QComboBox>(m_view.get(), u"levelFilter"_s)->setCurrentText(u"ERROR"_s);
    m_logger->clearLogs();
    QCoreApplication::processEvents();
    for (int i = 1; i <= 40; ++i)
        log(u"error %1"_s.arg(i), LogLevel::Error);
    m_scheduler->advance(300ms);
    QCOMPARE(bar->value(), bar->maximum());
    bar->setValue(0);
    log(u"info"_s, LogLevel::Info);
    m_scheduler->advance(300ms);
    QCOMPARE(bar->value(), 0);
}

QTEST_MAIN(TestDebugLogView)
#include "tst_debuglogview.moc"
