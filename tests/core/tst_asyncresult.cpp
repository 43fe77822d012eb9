#include "core/AsyncResult.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Result = AsyncResult<int, QString>;

class TestAsyncResult : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsOnlyWhenSubscribed();
    void deliversOnALaterTurnExactlyOnce();
    void deliversTheError();
    void cancellingAbortsAndSilences();
    void subscriptionDroppedInsideItsHandler();
    void mapTransformsAndPassesCancellationInward();
    void subscriptionSetCancelsWhatIsLeftAndDropsFinished();
};

void TestAsyncResult::startsOnlyWhenSubscribed()
{
    int starts = 0;
    const Result result([&](const Promise<int, QString>& promise) {
        ++starts;
        promise.resolve(1);
    });
    QCOMPARE(starts, 0);
    Subscription first = result.subscribe([](int) {}, [](const QString&) {});
    Subscription second = result.subscribe([](int) {}, [](const QString&) {});
    QCOMPARE(starts, 2);
}

void TestAsyncResult::deliversOnALaterTurnExactlyOnce()
{
    QList<int> values;
    int errors = 0;
    Subscription subscription = Result([](const Promise<int, QString>& promise) {
        promise.resolve(7);
        promise.resolve(8);
        promise.reject(u"late"_s);
    }).subscribe([&](int value) { values << value; }, [&](const QString&) { ++errors; });
    QVERIFY(values.isEmpty());
    QVERIFY(!subscription.isFinished());
    QCoreApplication::processEvents();
    QCOMPARE(values, QList<int> {7});
    QCOMPARE(errors, 0);
    QVERIFY(subscription.isFinished());
}

void TestAsyncResult::deliversTheError()
{
    QString error;
    Subscription subscription
        = Result::fromError(u"noToken"_s)
              .subscribe([](int) { QFAIL("no value expected"); }, [&](const QString& e) { error = e; });
    QTRY_COMPARE(error, u"noToken"_s);
}

void TestAsyncResult::cancellingAbortsAndSilences()
{
    int aborted = 0;
    std::optional<Promise<int, QString>> pending;
    bool called = false;
    {
        Subscription subscription = Result([&](const Promise<int, QString>& promise) {
            promise.onCancel([&] { ++aborted; });
            pending = promise;
        }).subscribe([&](int) { called = true; }, [&](const QString&) { called = true; });
    }
    QCOMPARE(aborted, 1);
    QVERIFY(pending->isCancelled());
    pending->resolve(1);
    QCoreApplication::processEvents();
    QVERIFY(!called);

    // Cancelled between settling and delivery: still silent.
    Subscription subscription = Result::fromValue(3).subscribe([&](int) { called = true; }, [](const QString&) {});
    subscription.cancel();
    QCoreApplication::processEvents();
    QVERIFY(!called);
}

void TestAsyncResult::subscriptionDroppedInsideItsHandler()
{
    auto subscription = std::make_unique<Subscription>();
    int value = 0;
    *subscription = Result::fromValue(5).subscribe(
        [&](int v) {
            value = v;
            subscription.reset();
        },
        [](const QString&) {});
    QTRY_COMPARE(value, 5);
    QVERIFY(!subscription);
}

void TestAsyncResult::mapTransformsAndPassesCancellationInward()
{
    QString text;
    Subscription mapped = Result::fromValue(21)
                              .map([](int value) { return QString::number(value * 2); })
                              .subscribe([&](const QString& value) { text = value; }, [](const QString&) {});
    QTRY_COMPARE(text, u"42"_s);

    int innerAborted = 0;
    const Result never([&](const Promise<int, QString>& promise) { promise.onCancel([&] { ++innerAborted; }); });
    Subscription outer = never.map([](int value) { return value; }).subscribe([](int) {}, [](const QString&) {});
    outer.cancel();
    QCOMPARE(innerAborted, 1);
}

void TestAsyncResult::subscriptionSetCancelsWhatIsLeftAndDropsFinished()
{
    int aborted = 0;
    const Result never([&](const Promise<int, QString>& promise) { promise.onCancel([&] { ++aborted; }); });
    {
        SubscriptionSet set;
        for (int i = 0; i < 200; ++i) {
            set.add(Result::fromValue(i).subscribe([](int) {}, [](const QString&) {}));
            QCoreApplication::processEvents();
        }
        set.add(never.subscribe([](int) {}, [](const QString&) {}));
        QVERIFY2(set.size() <= 65, "finished subscriptions are dropped as the set grows");
    }
    QCOMPARE(aborted, 1);
}

QTEST_GUILESS_MAIN(TestAsyncResult)
#include "tst_asyncresult.moc"
