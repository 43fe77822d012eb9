#include "ObjectCensus.h"

#include <QTest>
#include <QThread>
#include <QTimer>

#include <memory>

// The census leans on slots of Qt's hook table that Qt does not document: a Qt whose
// table moved would count nothing, and the soak benchmark would find everything flat.
class TestObjectCensus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countsLiveObjects_data();
    void countsLiveObjects();
    void countsTimersOfThisThreadOnly();
};

void TestObjectCensus::countsLiveObjects_data()
{
    QTest::addColumn<bool>("withParent");
    QTest::addColumn<bool>("onAnotherThread");

    QTest::newRow("parentless") << false << false;
    QTest::newRow("children") << true << false;
    QTest::newRow("built on another thread") << false << true;
}

void TestObjectCensus::countsLiveObjects()
{
    QFETCH(bool, withParent);
    QFETCH(bool, onAnotherThread);
    constexpr int count = 5;

    ObjectCensus census;
    auto parent = std::make_unique<QObject>();
    QList<QObject*> objects;
    const auto build = [&] {
        for (int i = 0; i < count; ++i)
            objects.append(new QObject(withParent ? parent.get() : nullptr));
    };
    if (onAnotherThread) {
        std::unique_ptr<QThread> thread(QThread::create(build));
        thread->start();
        QVERIFY(thread->wait(10000));
        thread.reset();
    } else {
        build();
    }
    QCOMPARE(census.liveObjects(), count + 1);

    if (!withParent)
        qDeleteAll(objects);
    parent.reset();
    QCOMPARE(census.liveObjects(), 0);
}

void TestObjectCensus::countsTimersOfThisThreadOnly()
{
    ObjectCensus census;
    QTimer first;
    QTimer second;
    QObject owner;
    first.start(60000);
    second.start(60000);
    const int timerId = owner.startTimer(60000);
    QCOMPARE(census.activeTimers(), 3);

    first.stop();
    owner.killTimer(timerId);
    QCOMPARE(census.activeTimers(), 1);
}

QTEST_GUILESS_MAIN(TestObjectCensus)
#include "tst_objectcensus.moc"
