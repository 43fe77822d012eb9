#include "ConsoleCapture.h"
#include "FakeNotificationService.h"
#include "VirtualScheduler.h"
#include "Wait.h"
#include "desktop/DesktopNotifications.h"
#include "desktop/NewThreadAnnouncer.h"
#include "storage/DebugLogger.h"

#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const GitHubEndpoints kEndpoints(u"https://api.github.com"_s, u"https://github.com"_s);

// Threads of octocat/Hello-World with these titles, numbered from 1; with `pages` their
// subjects are issues, else check suites, which have no page of their own.
QList<NotificationPtr> threads(const QStringList& titles, bool pages = true)
{
    QList<NotificationPtr> result;
    for (int i = 0; i < titles.size(); ++i) {
        const QString number = QString::number(i + 1);
        const std::optional<QString> url = pages
            ? std::optional(u"https://api.github.com/repos/octocat/Hello-World/issues/"_s + number)
            : std::nullopt;
        result << std::make_shared<Notification>(number, Subject(titles[i], pages ? u"Issue"_s : u"CheckSuite"_s, url),
            Repository(u"octocat/Hello-World"_s), u"subscribed"_s, u"2026-12-01T10:00:00Z"_s);
    }
    return result;
}

QList<QUrl> urls(const QSignalSpy& spy)
{
    QList<QUrl> result;
    for (const QList<QVariant>& arguments : spy)
        result << arguments.first().toUrl();
    return result;
}

// Lets the replies to what `bus` sent so far arrive: the bus answers in order, so once a
// later call returns, earlier replies are queued for the event loop.
void settle(const QDBusConnection& bus)
{
    if (bus.isConnected())
        bus.interface()->isServiceRegistered(u"org.freedesktop.DBus"_s);
    QCoreApplication::processEvents();
}

} // namespace

// Desktop notifications of new threads, against a fake notification service on the
// test session bus: the Notify call, a click, the switch, and a desktop without a service.
class TestDesktopNotifications : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void notifyCall_data();
    void notifyCall();
    void click_data();
    void click();
    void switchedOffShowsNothing();
    void withoutAServiceOneDebugLineOnly_data();
    void withoutAServiceOneDebugLineOnly();

private:
    // A fake service on the session bus; none where the name is taken.
    std::unique_ptr<FakeNotificationService> startService(const QStringList& capabilities);
    void build(const QDBusConnection& bus);

    VirtualScheduler m_scheduler;
    ConsoleCapture m_logEcho;
    std::unique_ptr<DebugLogger> m_logger;
    std::unique_ptr<DesktopNotifications> m_notifications;
    std::unique_ptr<NewThreadAnnouncer> m_announcer;
};

void TestDesktopNotifications::init()
{
    m_logger = std::make_unique<DebugLogger>(m_scheduler, m_logEcho);
    build(QDBusConnection::sessionBus());
}

void TestDesktopNotifications::cleanup()
{
    m_announcer.reset();
    m_notifications.reset();
    m_logger.reset();
    m_logEcho.clear();
}

void TestDesktopNotifications::build(const QDBusConnection& bus)
{
    m_announcer.reset();
    m_notifications = std::make_unique<DesktopNotifications>(*m_logger, bus);
    m_announcer = std::make_unique<NewThreadAnnouncer>(*m_notifications, kEndpoints);
}

std::unique_ptr<FakeNotificationService> TestDesktopNotifications::startService(const QStringList& capabilities)
{
    auto service = std::make_unique<FakeNotificationService>(capabilities);
    return service->start() ? std::move(service) : nullptr;
}

void TestDesktopNotifications::notifyCall_data()
{
    QTest::addColumn<QStringList>("capabilities");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<bool>("pages");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("action");

    const QStringList plain {u"actions"_s, u"body"_s};
    const QStringList markup {u"actions"_s, u"body"_s, u"body-markup"_s};
    QTest::newRow("one thread") << plain << QStringList {u"Fix the parser"_s} << true << u"octocat/Hello-World"_s
                                << u"Fix the parser"_s << u"Open in Browser"_s;
    QTest::newRow("one thread without a page of its own")
        << plain << QStringList {u"CI finished"_s} << false << u"octocat/Hello-World"_s << u"CI finished"_s
        << u"Show Tidewhelk"_s;
    QTest::newRow("four threads: their count and the first three titles")
        << plain << QStringList {u"One"_s, u"Two"_s, u"Three"_s, u"Four"_s} << true << u"4 new notifications"_s
        << u"One\nTwo\nThree"_s << u"Show Tidewhelk"_s;
    QTest::newRow("a service that reads markup gets the title escaped")
        << markup << QStringList {u"Use <T> & \"friends\""_s} << true << u"octocat/Hello-World"_s
        << u"Use &lt;T&gt; &amp; &quot;friends&quot;"_s << u"Open in Browser"_s;
    QTest::newRow("a service that does not gets it as it is")
        << plain << QStringList {u"Use <T> & \"friends\""_s} << true << u"octocat/Hello-World"_s
        << u"Use <T> & \"friends\""_s << u"Open in Browser"_s;
}

void TestDesktopNotifications::notifyCall()
{
    QFETCH(QStringList, capabilities);
    QFETCH(QStringList, titles);
    QFETCH(bool, pages);
    QFETCH(QString, summary);
    QFETCH(QString, body);
    QFETCH(QString, action);
    auto service = startService(capabilities);
    if (!service)
        QSKIP("The session bus has a notification service of its own: run it through scripts/with-test-session");

    m_announcer->announce(threads(titles, pages));
    QVERIFY(waitUntil([&] { return !service->calls().isEmpty(); }));
    const FakeNotificationService::Call call = service->calls().first();
    QCOMPARE(call.appName, u"Tidewhelk"_s);
    QCOMPARE(call.replacesId, 0u);
    QCOMPARE(call.appIcon, u"tidewhelk"_s);
    QCOMPARE(call.summary, summary);
    QCOMPARE(call.body, body);
    QCOMPARE(call.actions, (QStringList {u"default"_s, action}));
    QCOMPARE(call.hints, (QVariantMap {{u"desktop-entry"_s, u"tidewhelk"_s}}));
    QCOMPARE(call.expireTimeout, -1);
}

void TestDesktopNotifications::click_data()
{
    QTest::addColumn<int>("threadCount");
    QTest::addColumn<QString>("actionKey");
    QTest::addColumn<bool>("ours");
    QTest::addColumn<bool>("closedFirst");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QList<QUrl>>("opened");
    QTest::addColumn<int>("windowShown");

    const QList<QUrl> none;
    const QList<QUrl> page {QUrl(u"https://github.com/octocat/Hello-World/issues/1"_s)};
    QTest::newRow("one thread opens its page") << 1 << u"default"_s << true << false << 1 << page << 0;
    QTest::newRow("a second click changes nothing") << 1 << u"default"_s << true << false << 2 << page << 0;
    QTest::newRow("several show the window") << 2 << u"default"_s << true << false << 1 << none << 1;
    QTest::newRow("another action does nothing") << 1 << u"other"_s << true << false << 1 << none << 0;
    QTest::newRow("another application's notification") << 1 << u"default"_s << false << false << 1 << none << 0;
    QTest::newRow("a notification closed before") << 1 << u"default"_s << true << true << 1 << none << 0;
}

void TestDesktopNotifications::click()
{
    QFETCH(int, threadCount);
    QFETCH(QString, actionKey);
    QFETCH(bool, ours);
    QFETCH(bool, closedFirst);
    QFETCH(int, clicks);
    QFETCH(QList<QUrl>, opened);
    QFETCH(int, windowShown);
    auto service = startService({u"actions"_s, u"body"_s});
    if (!service)
        QSKIP("The session bus has a notification service of its own: run it through scripts/with-test-session");
    QSignalSpy openRequested(m_announcer.get(), &NewThreadAnnouncer::openRequested);
    QSignalSpy showWindowRequested(m_announcer.get(), &NewThreadAnnouncer::showWindowRequested);

    m_announcer->announce(threads(QStringList {u"One"_s, u"Two"_s}.first(threadCount)));
    QVERIFY(waitUntil([&] { return !service->calls().isEmpty(); }));
    settle(QDBusConnection::sessionBus());
    const uint id = service->calls().first().id;
    if (closedFirst)
        service->close(id);
    for (int click = 0; click < clicks; ++click)
        service->click(ours ? id : id + 100, actionKey);
    settle(QDBusConnection::sessionBus());
    QCOMPARE(urls(openRequested), opened);
    QCOMPARE(showWindowRequested.size(), windowShown);
}

void TestDesktopNotifications::switchedOffShowsNothing()
{
    auto service = startService({u"body"_s});
    if (!service)
        QSKIP("The session bus has a notification service of its own: run it through scripts/with-test-session");
    m_announcer->setEnabled(false);
    m_announcer->announce(threads({u"Hidden"_s}));
    m_announcer->setEnabled(true);
    m_announcer->announce(threads({u"Shown"_s}));
    QVERIFY(waitUntil([&] { return !service->calls().isEmpty(); }));
    settle(QDBusConnection::sessionBus());
    QCOMPARE(service->calls().size(), 1);
    QCOMPARE(service->calls().first().body, u"Shown"_s);
}

void TestDesktopNotifications::withoutAServiceOneDebugLineOnly_data()
{
    QTest::addColumn<bool>("sessionBus");
    // The bus daemon's words follow on the bus.
    QTest::addColumn<QString>("message");
    QTest::newRow("no session bus") << false << u"No desktop notifications: no session bus"_s;
    QTest::newRow("no service on the bus") << true << u"No desktop notifications: "_s;
}

void TestDesktopNotifications::withoutAServiceOneDebugLineOnly()
{
    QFETCH(bool, sessionBus);
    QFETCH(QString, message);
    const QDBusConnection bus = sessionBus ? QDBusConnection::sessionBus()
                                           : QDBusConnection::connectToBus(u"unix:path=/nonexistent"_s, u"none"_s);
    if (sessionBus
        && bus.interface()->activatableServiceNames().value().contains(
            QLatin1String(DesktopNotifications::serviceName)))
        QSKIP("The session bus can start a notification service");
    build(bus);

    for (int attempt = 0; attempt < 3; ++attempt) {
        m_announcer->announce(threads({u"Lost"_s}));
        settle(bus);
    }
    QVERIFY(waitUntil([&] { return !m_logger->logs().isEmpty(); }));
    settle(bus);
    QCOMPARE(m_logger->logs().size(), 1);
    QCOMPARE(m_logger->logs().first().level, LogLevel::Debug);
    QVERIFY(m_logger->logs().first().message.startsWith(message));
    QCOMPARE(m_logEcho.lines().size(), 1);
}

QTEST_MAIN(TestDesktopNotifications)
#include "tst_desktopnotifications.moc"
