#include "Wait.h"
#include "core/SystemScheduler.h"

#include <QTest>

using namespace std::chrono_literals;

class TestSystemScheduler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void singleShotRunsOnceUnlessItsContextWentFirst();
    void clearReleasesWaitingWorkWithoutRunningIt();
};

void TestSystemScheduler::singleShotRunsOnceUnlessItsContextWentFirst()
{
    SystemScheduler scheduler;
    int withoutContext = 0;
    int withContext = 0;
    auto context = std::make_unique<QObject>();
    scheduler.singleShot(1ms, nullptr, [&] { ++withoutContext; });
    scheduler.singleShot(1ms, context.get(), [&] { ++withContext; });
    context.reset();
    QVERIFY(waitUntil([&] { return withoutContext == 1; }));
    QCoreApplication::processEvents();
    QCOMPARE(withContext, 0);
    QCOMPARE(withoutContext, 1);
}

void TestSystemScheduler::clearReleasesWaitingWorkWithoutRunningIt()
{
    SystemScheduler scheduler;
    auto held = std::make_shared<int>(0);
    const std::weak_ptr<int> watched = held;
    scheduler.singleShot(1h, nullptr, [held] { ++*held; });
    TimerHandle repeating = scheduler.startRepeating(1h, [held] { ++*held; });
    held.reset();
    QVERIFY(!watched.expired());

    scheduler.clear();
    QVERIFY(watched.expired());
    QVERIFY(!repeating.isActive());
}

QTEST_GUILESS_MAIN(TestSystemScheduler)
#include "tst_systemscheduler.moc"
