#include "ConsoleCapture.h"
#include "VirtualScheduler.h"
#include "Wait.h"
#include "core/DebugLogger.h"
#include "core/WakeWatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// logind's sleep signal, sent on the test session's own bus by a stand-in that owns
// logind's name there.
class TestWakeWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resumingFromSleepWakesTheFeeds();
};

void TestWakeWatcher::resumingFromSleepWakesTheFeeds()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.registerService(u"org.freedesktop.login1"_s))
        QSKIP("Needs the private session bus of scripts/with-test-session");
    VirtualScheduler scheduler;
    ConsoleCapture echo;
    DebugLogger logger(scheduler, echo);
    WakeWatcher watcher(logger);
    watcher.watchSleep(bus);
    QSignalSpy woke(&watcher, &WakeWatcher::woke);

    for (const bool sleeping : {true, false}) {
        QDBusMessage signal = QDBusMessage::createSignal(
            u"/org/freedesktop/login1"_s, u"org.freedesktop.login1.Manager"_s, u"PrepareForSleep"_s);
        signal << sleeping;
        QVERIFY(bus.send(signal));
    }
    QVERIFY(waitUntil([&] { return !woke.isEmpty() && !logger.logs().isEmpty(); }));
    QCOMPARE(woke.size(), 1);
    QCOMPARE(logger.logs().constLast().message, u"Woke from sleep: feeds with auto-sync catch up"_s);
    bus.unregisterService(u"org.freedesktop.login1"_s);
}

QTEST_GUILESS_MAIN(TestWakeWatcher)
#include "tst_wakewatcher.moc"
