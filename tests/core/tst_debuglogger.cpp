#include "ConsoleCapture.h"
#include "VirtualScheduler.h"
#include "core/DebugLogger.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDebugLogger : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entryBecomesVisibleOnlyThroughTheEventLoop();
    void echoLine_data();
    void echoLine();
    void keepsTheLastHundredOldestFirst();
    void clearThenLogLeavesOneEntry();

private:
    VirtualScheduler m_clock;
    ConsoleCapture m_console;
};

void TestDebugLogger::entryBecomesVisibleOnlyThroughTheEventLoop()
{
    DebugLogger logger(m_clock, m_console);
    QSignalSpy changed(&logger, &DebugLogger::logsChanged);
    logger.log(u"Starting device flow authentication"_s, LogLevel::Info, u"OAuth"_s);
    QVERIFY(logger.logs().isEmpty());
    QCoreApplication::processEvents();
    QCOMPARE(logger.logs().size(), 1);
    QCOMPARE(changed.count(), 1);
    const LogEntry& entry = logger.logs().constFirst();
    QCOMPARE(entry.message, u"Starting device flow authentication"_s);
    QCOMPARE(entry.source, u"OAuth"_s);
    QCOMPARE(entry.level, LogLevel::Info);
    QCOMPARE(entry.timestamp, m_clock.now());
    QVERIFY(!entry.id.isNull());
}

void TestDebugLogger::echoLine_data()
{
    QTest::addColumn<LogLevel>("level");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("line");
    // The tests run with TZ=UTC; the clock stands at 22:16:37.000.
    QTest::newRow("info") << LogLevel::Info << u"User code: WDJB-MJHT"_s
                          << u"[22:16:37.000] ℹ️ [OAuth] User code: WDJB-MJHT"_s;
    QTest::newRow("warning mark") << LogLevel::Warning << u"slow"_s << u"[22:16:37.000] ⚠️ [OAuth] slow"_s;
    QTest::newRow("debug") << LogLevel::Debug << u"HTTP Status Code: 200"_s
                           << u"[22:16:37.000] 🔍 [OAuth] HTTP Status Code: 200"_s;
    QTest::newRow("error") << LogLevel::Error << u"Invalid client ID"_s
                           << u"[22:16:37.000] ❌ [OAuth] Invalid client ID"_s;
    QTest::newRow("success") << LogLevel::Success << u"Device code received"_s
                             << u"[22:16:37.000] ✅ [OAuth] Device code received"_s;
    QTest::newRow("line breaks kept") << LogLevel::Info << u"one\ntwo"_s << u"[22:16:37.000] ℹ️ [OAuth] one\ntwo"_s;
    QTest::newRow("controls escaped, in the entry too")
        << LogLevel::Debug << u"Raw response: \x1b]0;owned\x07\tok\x7f\u009b"_s
        << u"[22:16:37.000] 🔍 [OAuth] Raw response: \\u001b]0;owned\\u0007\tok\\u007f\\u009b"_s;
}

void TestDebugLogger::echoLine()
{
    QFETCH(LogLevel, level);
    QFETCH(QString, message);
    QFETCH(QString, line);
    m_console.clear();
    DebugLogger logger(m_clock, m_console);
    logger.log(message, level, u"OAuth"_s);
    QCoreApplication::processEvents();
    QCOMPARE(m_console.lines(), QStringList {line});
    QCOMPARE(logger.logs().constFirst().message, line.section(u"] "_s, 2));
}

void TestDebugLogger::keepsTheLastHundredOldestFirst()
{
    DebugLogger logger(m_clock, m_console);
    QSignalSpy changed(&logger, &DebugLogger::logsChanged);
    int largestSeen = 0;
    connect(&logger, &DebugLogger::logsChanged, this,
        [&] { largestSeen = std::max(largestSeen, int(logger.logs().size())); });
    for (int i = 1; i <= 101; ++i)
        logger.log(QString::number(i), LogLevel::Debug, u"OAuth"_s);
    QCoreApplication::processEvents();
    QCOMPARE(logger.logs().size(), DebugLogger::maxLogs);
    QCOMPARE(logger.logs().constFirst().message, u"2"_s);
    QCOMPARE(logger.logs().constLast().message, u"101"_s);
    QCOMPARE(largestSeen, DebugLogger::maxLogs);
    QCOMPARE(changed.count(), 101);
}

void TestDebugLogger::clearThenLogLeavesOneEntry()
{
    DebugLogger logger(m_clock, m_console);
    logger.log(u"a"_s, LogLevel::Info, u"OAuth"_s);
    logger.log(u"b"_s, LogLevel::Info, u"OAuth"_s);
    logger.clearLogs();
    logger.log(u"c"_s, LogLevel::Error, u"OAuth"_s);
    QCOMPARE(logger.logs().size(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(logger.logs().size(), 1);
    QCOMPARE(logger.logs().constFirst().message, u"c"_s);
}

QTEST_GUILESS_MAIN(TestDebugLogger)
#include "tst_debuglogger.moc"
