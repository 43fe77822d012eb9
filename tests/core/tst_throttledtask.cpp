#include "VirtualScheduler.h"
#include "core/ThrottledTask.h"

#include <QTest>

using namespace std::chrono_literals;

class TestThrottledTask : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requestsOfOneTurnRunOnceAtItsEnd();
    void aBurstRunsAtMostOncePerIntervalAndTheLastRequestIsKept();
    void flushRunsAWaitingRequestAndDestructionDropsIt();
};

void TestThrottledTask::requestsOfOneTurnRunOnceAtItsEnd()
{
    VirtualScheduler scheduler;
    int runs = 0;
    ThrottledTask task(scheduler, 1s, [&] { ++runs; });
    task.request();
    task.request();
    task.request();
    QCOMPARE(runs, 0);
    QCoreApplication::processEvents();
    QCOMPARE(runs, 1);
    QVERIFY(!task.isPending());
}

void TestThrottledTask::aBurstRunsAtMostOncePerIntervalAndTheLastRequestIsKept()
{
    VirtualScheduler scheduler;
    QList<qint64> runTimes;
    ThrottledTask task(scheduler, 1s, [&] { runTimes << VirtualScheduler::defaultStart().msecsTo(scheduler.now()); });
    task.request();
    QCoreApplication::processEvents();
    for (int i = 0; i < 10; ++i) {
        scheduler.advance(300ms);
        task.request();
        QCoreApplication::processEvents();
    }
    QCOMPARE(runTimes, (QList<qint64> {0, 1000, 2000, 3000}));
    QVERIFY(task.isPending());
    scheduler.advance(1s);
    QCOMPARE(runTimes.last(), 4000);

    // After a quiet interval the next request runs at the end of its turn again.
    scheduler.advance(5s);
    task.request();
    QCoreApplication::processEvents();
    QCOMPARE(runTimes.last(), 9000);
}

void TestThrottledTask::flushRunsAWaitingRequestAndDestructionDropsIt()
{
    VirtualScheduler scheduler;
    int runs = 0;
    {
        ThrottledTask task(scheduler, 1s, [&] { ++runs; });
        task.request();
        task.flush();
        QCOMPARE(runs, 1);
        task.flush();
        QCOMPARE(runs, 1);
        task.request();
    }
    QCoreApplication::processEvents();
    scheduler.advance(2s);
    QCOMPARE(runs, 1);
}

QTEST_GUILESS_MAIN(TestThrottledTask)
#include "tst_throttledtask.moc"
