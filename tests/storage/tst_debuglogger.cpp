#include "ConsoleCapture.h"
#include "VirtualScheduler.h"
#include "storage/DebugLogger.h"

#include <QSignalSpy>
#include <QTest>

class TestDebugLogger : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entryBecomesVisibleOnlyThroughTheEventLoop();
    void echoLine_data();
    void echoLine();
    void keepsTheLastHundredOldestFirst();
    void clearThenLogLeavesOneEntry();
    void levelsRoundTripThroughRawValues();

private:
    VirtualScheduler m_clock;
    ConsoleCapture m_console;
};

void TestDebugLogger::entryBecomesVisibleOnlyThroughTheEventLoop()
{
    DebugLogger logger(m_clock, m_console);
    QSignalSpy changed(&logger, &DebugLogger::logsChanged);
    logger.log(QStringLiteral("Starting device flow authentication"), LogLevel::Info, QStringLiteral("OAuth"));
    QVERIFY(logger.logs().isEmpty());
    QCoreApplication::processEvents();
    QCOMPARE(logger.logs().size(), 1);
    QCOMPARE(changed.count(), 1);
    const LogEntry& entry = logger.logs().constFirst();
    QCOMPARE(entry.message, QStringLiteral("Starting device flow authentication"));
    QCOMPARE(entry.source, QStringLiteral("OAuth"));
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
    QTest::newRow("info") << LogLevel::Info << QStringLiteral("User code: WDJB-MJHT")
                          << QStringLiteral("[22:16:37.000] ℹ️ [OAuth] User code: WDJB-MJHT");
    QTest::newRow("warning mark") << LogLevel::Warning << QStringLiteral("slow")
                                  << QStringLiteral("[22:16:37.000] ⚠️ [OAuth] slow");
    QTest::newRow("debug") << LogLevel::Debug << QStringLiteral("HTTP Status Code: 200")
                           << QStringLiteral("[22:16:37.000] 🔍 [OAuth] HTTP Status Code: 200");
    QTest::newRow("error") << LogLevel::Error << QStringLiteral("Invalid client ID")
                           << QStringLiteral("[22:16:37.000] ❌ [OAuth] Invalid client ID");
    QTest::newRow("success") << LogLevel::Success << QStringLiteral("Device code received")
                             << QStringLiteral("[22:16:37.000] ✅ [OAuth] Device code received");
    QTest::newRow("line breaks kept") << LogLevel::Info << QStringLiteral("one\ntwo")
                                      << QStringLiteral("[22:16:37.000] ℹ️ [OAuth] one\ntwo");
}

void TestDebugLogger::echoLine()
{
    QFETCH(LogLevel, level);
    QFETCH(QString, message);
    QFETCH(QString, line);
    m_console.clear();
    DebugLogger logger(m_clock, m_console);
    logger.log(message, level, QStringLiteral("OAuth"));
    QCoreApplication::processEvents();
    QCOMPARE(m_console.lines(), QStringList {line});
    QCOMPARE(logger.logs().constFirst().message, message);
}

void TestDebugLogger::keepsTheLastHundredOldestFirst()
{
    DebugLogger logger(m_clock, m_console);
    QSignalSpy changed(&logger, &DebugLogger::logsChanged);
    int largestSeen = 0;
    connect(&logger, &DebugLogger::logsChanged, this,
        [&] { largestSeen = std::max(largestSeen, int(logger.logs().size())); });
    for (int i = 1; i <= 101; ++i)
        logger.log(QString::number(i), LogLevel::Debug, QStringLiteral("OAuth"));
    QCoreApplication::processEvents();
    QCOMPARE(logger.logs().size(), DebugLogger::maxLogs);
    QCOMPARE(logger.logs().constFirst().message, QStringLiteral("2"));
    QCOMPARE(logger.logs().constLast().message, QStringLiteral("101"));
    QCOMPARE(largestSeen, DebugLogger::maxLogs);
    QCOMPARE(changed.count(), 101);
}

void TestDebugLogger::clearThenLogLeavesOneEntry()
{
    DebugLogger logger(m_clock, m_console);
    logger.log(QStringLiteral("a"), LogLevel::Info, QStringLiteral("OAuth"));
    logger.log(QStringLiteral("b"), LogLevel::Info, QStringLiteral("OAuth"));
    logger.clearLogs();
    logger.log(QStringLiteral("c"), LogLevel::Error, QStringLiteral("OAuth"));
    QCOMPARE(logger.logs().size(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(logger.logs().size(), 1);
    QCOMPARE(logger.logs().constFirst().message, QStringLiteral("c"));
}

void TestDebugLogger::levelsRoundTripThroughRawValues()
{
    QStringList raw;
    for (LogLevel level : allLogLevels()) {
        raw << rawValue(level);
        QCOMPARE(logLevelFromRawValue(rawValue(level)), level);
    }
    QCOMPARE(raw,
        (QStringList {QStringLiteral("DEBUG"), QStringLiteral("INFO"), QStringLiteral("WARNING"),
            QStringLiteral("ERROR"), QStringLiteral("SUCCESS")}));
    QCOMPARE(logLevelFromRawValue(QStringLiteral("warning")), std::nullopt);
}

QTEST_GUILESS_MAIN(TestDebugLogger)
#include "tst_debuglogger.moc"
