#include "TestHome.h"
#include "VirtualScheduler.h"
#include "storage/Environment.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimeZone>

#include <ctime>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kNewYear2026(QDate(2026, 1, 1), QTime(0, 0), QTimeZone::utc());

QList<NotificationPtr> threads()
{
    Subject pull(u"Fix the build"_s, u"PullRequest"_s, u"https://api.github.com/repos/o/r/pulls/7"_s);
    pull.setState(u"merged"_s);
    pull.setCiStatus(u"passing"_s);
    pull.setReviewStatus(u"approved"_s);
    return {std::make_shared<Notification>(
                u"7"_s, pull, Repository(u"o/r"_s), u"review_requested"_s, u"2026-11-30T08:15:42Z"_s),
        std::make_shared<Notification>(u"8"_s, Subject(u"Caf\u00e9 \U0001F41A"_s, u"Discussion"_s, std::nullopt),
            Repository(u"o/r"_s), std::nullopt, u"2026-11-29T08:15:42Z"_s)};
}

QList<IssuePtr> issues()
{
    auto merged = std::make_shared<Issue>(
        18402522398, u"Found a bug"_s, u"https://github.com/o/r/pull/3"_s, u"merged"_s, u"2026-11-30T08:15:42Z"_s);
    merged->setRepository(Repository(u"o/r"_s));
    merged->setPullRequest(PullRequestInfo(u"https://api.github.com/repos/o/r/pulls/3"_s, std::nullopt, std::nullopt,
        std::nullopt, u"2026-11-30T08:15:42Z"_s));
    return {merged,
        std::make_shared<Issue>(
            2, u"Another"_s, u"https://github.com/o/r/issues/2"_s, u"open"_s, u"2026-11-29T08:15:42Z"_s)};
}

QByteArray encoded(const QList<NotificationPtr>& list)
{
    return Notification::encodeList(list);
}

QByteArray encoded(const QList<IssuePtr>& list)
{
    return Issue::encodeList(list);
}

// A store and a service on a file of a temporary home, with a virtual clock.
class World
{
public:
    explicit World(const QDateTime& now = VirtualScheduler::defaultStart())
        : m_scheduler(now)
        , m_store(std::make_unique<PreferenceStore>(path()))
    {
        m_environment.scheduler = &m_scheduler;
        m_environment.preferences = m_store.get();
    }

    QString path() const { return m_home.path() + u"/tidewhelk.ini"_s; }
    PreferenceStore& store() { return *m_store; }
    PersistenceService service() const { return PersistenceService(m_environment); }

    // Writes the store to its file and opens the file anew, as the next start does.
    void restart()
    {
        m_store->flush();
        m_store.reset();
        m_store = std::make_unique<PreferenceStore>(path());
        m_environment.preferences = m_store.get();
    }

private:
    TestHome m_home;
    VirtualScheduler m_scheduler;
    std::unique_ptr<PreferenceStore> m_store;
    Environment m_environment;
};

} // namespace

class TestPersistenceService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void datesAreSecondsSince2001_data();
    void datesAreSecondsSince2001();
    void idsAreAnArrayOfStringsInAnyOrder();
    void unreadableValuesLoadAsAbsentAndStay_data();
    void unreadableValuesLoadAsAbsentAndStay();
    void mapWithAnInvalidDateIsNotSaved();
    void restartKeepsListsMarksAndDates();
    void lastPullDateDefaultsToOneCalendarYearBack_data();
    void lastPullDateDefaultsToOneCalendarYearBack();
    void lastPullDateInTheUsersCalendar();
};

void TestPersistenceService::datesAreSecondsSince2001_data()
{
    QTest::addColumn<QDateTime>("date");
    QTest::addColumn<double>("seconds");

    QTest::newRow("2026-01-01 UTC") << kNewYear2026 << 788918400.0;
    QTest::newRow("fraction of a second") << kNewYear2026.addMSecs(250) << 788918400.25;
    QTest::newRow("given with an offset") << QDateTime(QDate(2026, 1, 1), QTime(1, 0), QTimeZone(3600)) << 788918400.0;
}

void TestPersistenceService::datesAreSecondsSince2001()
{
    QFETCH(QDateTime, date);
    QFETCH(double, seconds);
    World world;
    const QString subject = u"https://api.github.com/repos/o/r/pulls/7"_s;

    world.service().save(QHash<QString, QDateTime> {{subject, date}}, PreferenceKeys::stoppedWatchingKey);
    const QJsonObject stored
        = QJsonDocument::fromJson(*world.store().data(PreferenceKeys::stoppedWatchingKey)).object();
    QCOMPARE(stored.keys(), QStringList {subject});
    QCOMPARE(stored.value(subject).toDouble(), seconds);
    QCOMPARE(world.service().loadDates(PreferenceKeys::stoppedWatchingKey)->value(subject), date);

    // Data written elsewhere in the same encoding reads the same.
    world.store().setData(PreferenceKeys::stoppedWatchingKey,
        "{\"" + subject.toUtf8() + "\": " + QByteArray::number(seconds, 'f', 3) + '}');
    QCOMPARE(world.service().loadDates(PreferenceKeys::stoppedWatchingKey)->value(subject), date);
}

void TestPersistenceService::idsAreAnArrayOfStringsInAnyOrder()
{
    World world;
    const QSet<QString> ids {u"1"_s, u"22"_s, u"333"_s};
    world.service().save(ids, PreferenceKeys::readNotificationsKey);
    QStringList stored;
    for (const QJsonValue id :
        QJsonDocument::fromJson(*world.store().data(PreferenceKeys::readNotificationsKey)).array())
        stored.append(id.toString());
    stored.sort();
    QCOMPARE(stored, (QStringList {u"1"_s, u"22"_s, u"333"_s}));

    world.store().setData(PreferenceKeys::readNotificationsKey, R"(["333", "1", "22", "1"])");
    QCOMPARE(world.service().loadIds(PreferenceKeys::readNotificationsKey), ids);
}

void TestPersistenceService::unreadableValuesLoadAsAbsentAndStay_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("load");

    const QStringList loads {u"notifications"_s, u"issues"_s, u"ids"_s, u"dates"_s};
    for (const QString& load : loads) {
        const QByteArray tag = load.toUtf8();
        QTest::addRow("%s: nothing stored", tag.constData()) << QVariant() << load;
        QTest::addRow("%s: a string, not data", tag.constData()) << QVariant(u"[]"_s) << load;
        QTest::addRow("%s: not JSON", tag.constData()) << QVariant(QByteArray("[\"1\", \"2\"")) << load;
    }
    QTest::newRow("notifications: an issue list") << QVariant(encoded(issues())) << u"notifications"_s;
    QTest::newRow("issues: a thread list") << QVariant(encoded(threads())) << u"issues"_s;
    QTest::newRow("ids: numbers") << QVariant(QByteArray("[1, 2]")) << u"ids"_s;
    QTest::newRow("dates: a date as text") << QVariant(QByteArray(R"({"u": "2026-01-01T00:00:00Z"})")) << u"dates"_s;
    QTest::newRow("dates: an array") << QVariant(QByteArray("[788918400]")) << u"dates"_s;
    QTest::newRow("dates: beyond any date") << QVariant(QByteArray(R"({"u": 1e300})")) << u"dates"_s;
}

void TestPersistenceService::unreadableValuesLoadAsAbsentAndStay()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, load);
    World world;
    const QString key = u"someKey"_s;
    if (stored.typeId() == QMetaType::QByteArray)
        world.store().setData(key, stored.toByteArray());
    else if (stored.typeId() == QMetaType::QString)
        world.store().setString(key, stored.toString());
    world.restart();
    const PersistenceService service = world.service();

    bool absent = false;
    if (load == u"notifications"_s)
        absent = !service.loadNotifications(key);
    else if (load == u"issues"_s)
        absent = !service.loadIssues(key);
    else if (load == u"ids"_s)
        absent = !service.loadIds(key);
    else
        absent = !service.loadDates(key);
    QVERIFY(absent);
    QCOMPARE(world.store().object(key).isValid(), stored.isValid());
    if (stored.typeId() == QMetaType::QByteArray)
        QCOMPARE(world.store().data(key), stored.toByteArray());

    // The next save replaces it.
    world.service().save(QSet<QString> {u"5"_s}, key);
    QCOMPARE(world.service().loadIds(key), QSet<QString> {u"5"_s});
}

void TestPersistenceService::mapWithAnInvalidDateIsNotSaved()
{
    World world;
    const QHash<QString, QDateTime> before {{u"a"_s, kNewYear2026}};
    world.service().save(before, PreferenceKeys::stoppedWatchingKey);
    world.service().save(
        QHash<QString, QDateTime> {{u"a"_s, kNewYear2026}, {u"b"_s, QDateTime()}}, PreferenceKeys::stoppedWatchingKey);
    QCOMPARE(world.service().loadDates(PreferenceKeys::stoppedWatchingKey), before);
}

void TestPersistenceService::restartKeepsListsMarksAndDates()
{
    World world;
    const QHash<QString, QDateTime> stopped {{u"https://api.github.com/repos/o/r/issues/1"_s, kNewYear2026.addMSecs(7)},
        {u"https://api.github.com/repos/o/r/pulls/2"_s, kNewYear2026.addYears(-30)}};
    const QDateTime lastPull(QDate(2026, 11, 30), QTime(8, 15, 42, 250), QTimeZone::utc());
    {
        PersistenceService service = world.service();
        service.save(threads(), PreferenceKeys::notificationsCacheKey);
        service.save(issues(), PreferenceKeys::issuesCacheKey);
        service.save(QSet<QString> {u"7"_s, u"9"_s}, PreferenceKeys::readNotificationsKey);
        service.save(stopped, PreferenceKeys::stoppedWatchingKey);
        service.setLastPullDate(lastPull, false);
        service.setLastPullDate(lastPull.addDays(1), true);
    }
    world.restart();

    const PersistenceService service = world.service();
    QCOMPARE(encoded(*service.loadNotifications(PreferenceKeys::notificationsCacheKey)), encoded(threads()));
    QCOMPARE(encoded(*service.loadIssues(PreferenceKeys::issuesCacheKey)), encoded(issues()));
    QCOMPARE(service.loadIds(PreferenceKeys::readNotificationsKey), (QSet<QString> {u"7"_s, u"9"_s}));
    QCOMPARE(service.loadDates(PreferenceKeys::stoppedWatchingKey), stopped);
    QCOMPARE(service.getLastPullDate(false), lastPull);
    QCOMPARE(service.getLastPullDate(true), lastPull.addDays(1));
    QCOMPARE(service.loadNotifications(PreferenceKeys::favoritesKey), std::nullopt);
}

void TestPersistenceService::lastPullDateDefaultsToOneCalendarYearBack_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDateTime>("expected");

    const auto utc = [](int year, int month, int day, int hour) {
        return QDateTime(QDate(year, month, day), QTime(hour, 30, 15), QTimeZone::utc());
    };
    QTest::newRow("5 December") << utc(2026, 12, 5, 22) << utc(2025, 12, 5, 22);
    QTest::newRow("29 February goes to 28 February") << utc(2024, 2, 29, 12) << utc(2023, 2, 28, 12);
    // 365 days back would give 29 February.
    QTest::newRow("28 February a year after a leap day") << utc(2025, 2, 28, 12) << utc(2024, 2, 28, 12);
}

void TestPersistenceService::lastPullDateDefaultsToOneCalendarYearBack()
{
    QFETCH(QDateTime, now);
    QFETCH(QDateTime, expected);
    World world(now);

    QCOMPARE(world.service().getLastPullDate(false), expected);
    QCOMPARE(world.service().getLastPullDate(true), expected);
    // A value of another type reads as missing.
    world.store().setString(PreferenceKeys::lastPullDate, expected.addDays(3).toString(Qt::ISODate));
    world.store().setData(PreferenceKeys::lastPullDateAssignments, "788918400");
    QCOMPARE(world.service().getLastPullDate(false), expected);
    QCOMPARE(world.service().getLastPullDate(true), expected);
    // The default is not stored back.
    QVERIFY(!world.store().date(PreferenceKeys::lastPullDate));
}

// The year is taken off the user's local date and time: across a change of daylight
// saving time the result keeps the wall-clock time, not the UTC time.
void TestPersistenceService::lastPullDateInTheUsersCalendar()
{
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    // 12:00 summer time in Berlin; a year earlier that day was still winter time.
    World world(QDateTime(QDate(2025, 3, 30), QTime(10, 0), QTimeZone::utc()));
    const QDateTime since = world.service().getLastPullDate(false);
    qputenv("TZ", zone);
    tzset();
    QCOMPARE(since.toUTC(), QDateTime(QDate(2024, 3, 30), QTime(11, 0), QTimeZone::utc()));
}

QTEST_GUILESS_MAIN(TestPersistenceService)
#include "tst_persistenceservice.moc"
