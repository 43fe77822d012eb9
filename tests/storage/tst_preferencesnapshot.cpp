#include "ConsoleCapture.h"
#include "Files.h"
#include "TestHome.h"
#include "VirtualScheduler.h"
#include "storage/CompactRecords.h"
#include "storage/Environment.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceSnapshot.h"
#include "storage/PreferenceStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSettings>
#include <QTest>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString kNoSnapshot = u"⚠️ No cache snapshot: reading the caches from the preference file"_s;
const QString kDamaged = u"⚠️ Cache snapshot damaged: reading the caches from the preference file"_s;
const QString kStale = u"⚠️ Cache snapshot out of date: reading the caches from the preference file"_s;
const QString kOtherVersion
    = u"⚠️ Cache snapshot of another version: reading the caches from the preference file"_s;

QList<NotificationPtr> threads(const QString& title)
{
    Subject pull(title, u"PullRequest"_s, u"https://api.github.com/repos/o/r/pulls/7"_s);
    pull.setState(u"merged"_s);
    pull.setCiStatus(u"passing"_s);
    pull.setReviewStatus(u"approved"_s);
    return {std::make_shared<Notification>(
                u"7"_s, pull, Repository(u"o/r"_s), u"review_requested"_s, u"2026-11-30T08:15:42Z"_s),
        std::make_shared<Notification>(u"8"_s, Subject(u"Caf\u00e9 \U0001F41A"_s, u"Discussion"_s, std::nullopt),
            Repository(u"o/r"_s), std::nullopt, u"2026-11-29T08:15:42Z"_s),
        std::make_shared<Notification>(
            u"9"_s, Subject(QString(), QString(), QString()), Repository(QString()), QString(), QString())};
}

QList<IssuePtr> assigned(const QString& title)
{
    Issue::OptionalFields pull;
    pull.repositoryUrl = u"https://api.github.com/repos/o/r"_s;
    pull.labelsUrl = u"https://api.github.com/repos/o/r/issues/4/labels{/name}"_s;
    pull.commentsUrl = u"https://api.github.com/repos/o/r/issues/4/comments"_s;
    pull.eventsUrl = u"https://api.github.com/repos/o/r/issues/4/events"_s;
    pull.createdAt = u"2026-11-28T08:15:42Z"_s;
    pull.closedAt = u"2026-11-30T08:15:42Z"_s;
    pull.body = u"Fixes the crash \u00e9 \U0001F41A"_s;
    pull.repository = Repository(u"o/r"_s);
    pull.pullRequest
        = PullRequestInfo(u"https://api.github.com/repos/o/r/pulls/4"_s, u"https://github.com/o/r/pull/4"_s,
            std::nullopt, u"https://github.com/o/r/pull/4.patch"_s, u"2026-11-30T08:15:42Z"_s);
    return {
        std::make_shared<Issue>(3, title, u"https://github.com/o/r/issues/3"_s, u"open"_s, u"2026-11-29T08:15:42Z"_s),
        std::make_shared<Issue>(
            4, title, u"https://github.com/o/r/pull/4"_s, u"closed"_s, u"2026-11-30T08:15:42Z"_s, std::move(pull))};
}

// One version of the caches, as saved and as a start must find them.
struct Caches
{
    QList<NotificationPtr> notifications;
    QList<NotificationPtr> favorites;
    QList<IssuePtr> issues;
    QSet<QString> readIds;
    bool autoReload = false;

    static Caches named(const QString& name)
    {
        Caches caches {threads(name), threads(name + u" starred"_s), assigned(name), {name}, name == u"second"_s};
        caches.favorites.removeFirst();
        return caches;
    }
};

// The preference file of a temporary home with a store and a service on it, started
// anew as a process start does.
class World
{
public:
    World()
    {
        m_environment.scheduler = &m_scheduler;
        m_environment.console = &m_console;
        start();
    }

    QString path() const { return m_home.path() + u"/tidewhelk.ini"_s; }
    QString snapshotPath() const { return m_home.path() + u"/tidewhelk.snapshot"_s; }
    PreferenceStore& store() { return *m_store; }
    ConsoleCapture& console() { return m_console; }

    void save(const Caches& caches)
    {
        PersistenceService service(m_environment);
        service.save(caches.notifications, PreferenceKeys::notificationsCacheKey);
        service.save(caches.favorites, PreferenceKeys::favoritesKey);
        service.save(caches.issues, PreferenceKeys::issuesCacheKey);
        service.save(caches.readIds, PreferenceKeys::readNotificationsKey);
        m_store->setBool(PreferenceKeys::autoReload, caches.autoReload);
        m_store->flush();
    }

    // The caches as the controllers load them at a start.
    Caches load() const
    {
        const PersistenceService service(m_environment);
        return {service.loadNotifications(PreferenceKeys::notificationsCacheKey).value_or(QList<NotificationPtr> {}),
            service.loadNotifications(PreferenceKeys::favoritesKey).value_or(QList<NotificationPtr> {}),
            service.loadIssues(PreferenceKeys::issuesCacheKey).value_or(QList<IssuePtr> {}),
            service.loadIds(PreferenceKeys::readNotificationsKey).value_or(QSet<QString> {}),
            m_store->boolValue(PreferenceKeys::autoReload)};
    }

    // Ends the store, keeping what it wrote, and opens the file anew.
    void restart()
    {
        m_store.reset();
        start();
    }

private:
    void start()
    {
        m_store = std::make_unique<PreferenceStore>(path());
        m_environment.preferences = m_store.get();
    }

    TestHome m_home;
    VirtualScheduler m_scheduler;
    ConsoleCapture m_console;
    std::unique_ptr<PreferenceStore> m_store;
    Environment m_environment;
};

void compareCaches(const Caches& loaded, const Caches& expected)
{
    QCOMPARE(Notification::encodeList(loaded.notifications), Notification::encodeList(expected.notifications));
    QCOMPARE(Notification::encodeList(loaded.favorites), Notification::encodeList(expected.favorites));
    QCOMPARE(Issue::encodeList(loaded.issues), Issue::encodeList(expected.issues));
    QCOMPARE(loaded.readIds, expected.readIds);
    QCOMPARE(loaded.autoReload, expected.autoReload);
}

// What happened to the files between two starts: `first` and then `second` were saved,
// each writing the preference file and then its snapshot.
using Mishap = std::function<void(World& world, const QByteArray& firstFile, const QByteArray& firstSnapshot)>;

} // namespace

class TestPreferenceSnapshot : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startReadsTheSnapshotOfTheFile();
    void unusableSnapshotFallsBackToTheFile_data();
    void unusableSnapshotFallsBackToTheFile();
    void compactFormFollowsItsValue();
    void compactFormCutShortIsRefused_data();
    void compactFormCutShortIsRefused();
    void snapshotIsPrivateToItsOwner();
};

void TestPreferenceSnapshot::startReadsTheSnapshotOfTheFile()
{
    World world;
    const Caches saved = Caches::named(u"first"_s);
    world.save(saved);
    world.restart();
    // The file's text becomes unreadable but keeps its stamp: only the snapshot can
    // give the caches.
    struct stat before
    { };
    QCOMPARE(::stat(QFile::encodeName(world.path()).constData(), &before), 0);
    {
        QFile file(world.path());
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write(QByteArray(file.size(), '#'));
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(world.path()).constData(), times, 0), 0);

    compareCaches(world.load(), saved);
    QCOMPARE(world.console().lines(), QStringList {});
}

void TestPreferenceSnapshot::unusableSnapshotFallsBackToTheFile_data()
{
    QTest::addColumn<Mishap>("mishap");
    QTest::addColumn<QString>("line");
    // The version of the caches the preference file holds after the mishap.
    QTest::addColumn<QString>("found");

    QTest::newRow("missing") << Mishap([](World& world, const QByteArray&, const QByteArray&) {
        QVERIFY(QFile::remove(world.snapshotPath()));
    }) << kNoSnapshot << u"second"_s;
    QTest::newRow("truncated") << Mishap([](World& world, const QByteArray&, const QByteArray&) {
        const QByteArray snapshot = fileContent(world.snapshotPath());
        writeFile(world.snapshotPath(), snapshot.left(snapshot.size() - 100));
    }) << kDamaged << u"second"_s;
    QTest::newRow("a byte changed") << Mishap([](World& world, const QByteArray&, const QByteArray&) {
        QByteArray snapshot = fileContent(world.snapshotPath());
        snapshot[snapshot.size() / 2] = static_cast<char>(snapshot[snapshot.size() / 2] ^ 0x20);
        writeFile(world.snapshotPath(), snapshot);
    }) << kDamaged << u"second"_s;
    QTest::newRow("random bytes") << Mishap([](World& world, const QByteArray&, const QByteArray&) {
        QByteArray noise(4096, '\0');
        QRandomGenerator generator(23);
        for (char& byte : noise)
            byte = static_cast<char>(generator.bounded(256));
        writeFile(world.snapshotPath(), noise);
    }) << kDamaged << u"second"_s;
    QTest::newRow("empty") << Mishap([](World& world, const QByteArray&, const QByteArray&) {
        writeFile(world.snapshotPath(), QByteArray());
    }) << kDamaged << u"second"_s;
    QTest::newRow("another version") << Mishap([](World& world, const QByteArray&, const QByteArray&) {
        QByteArray snapshot = fileContent(world.snapshotPath());
        snapshot[4] = static_cast<char>(snapshot[4] + 1);
        writeFile(world.snapshotPath(), snapshot);
    }) << kOtherVersion << u"second"_s;
    // Killed after writing the second preference file, before its snapshot.
    QTest::newRow("older snapshot") << Mishap([](World& world, const QByteArray&, const QByteArray& firstSnapshot) {
        writeFile(world.snapshotPath(), firstSnapshot);
    }) << kStale << u"second"_s;
    // The reverse: the snapshot of a file that never reached the disk.
    QTest::newRow("newer snapshot") << Mishap([](World& world, const QByteArray& firstFile, const QByteArray&) {
        writeFile(world.path(), firstFile);
    }) << kStale << u"first"_s;
    // Another program (an earlier version) wrote the file since.
    QTest::newRow("file written without it") << Mishap([](World& world, const QByteArray&, const QByteArray&) {
        QSettings settings(world.path(), QSettings::IniFormat);
        settings.setValue(PreferenceKeys::readNotificationsKey, QByteArray("[\"other\"]"));
    }) << kStale << u"other"_s;
}

void TestPreferenceSnapshot::unusableSnapshotFallsBackToTheFile()
{
    QFETCH(Mishap, mishap);
    QFETCH(QString, line);
    QFETCH(QString, found);
    World world;
    world.save(Caches::named(u"first"_s));
    const QByteArray firstFile = fileContent(world.path());
    const QByteArray firstSnapshot = fileContent(world.snapshotPath());
    world.save(Caches::named(u"second"_s));
    world.restart();
    mishap(world, firstFile, firstSnapshot);
    if (QTest::currentTestFailed())
        return;

    Caches expected = Caches::named(found == u"other"_s ? u"second"_s : found);
    if (found == u"other"_s)
        expected.readIds = {u"other"_s};
    compareCaches(world.load(), expected);
    QCOMPARE(world.console().take(), QStringList {line});

    // The snapshot is made again, without writing the preference file, and used.
    const QByteArray file = fileContent(world.path());
    world.restart();
    QCOMPARE(fileContent(world.path()), file);
    compareCaches(world.load(), expected);
    QCOMPARE(world.console().take(), QStringList {});
}

void TestPreferenceSnapshot::compactFormFollowsItsValue()
{
    World world;
    world.save(Caches::named(u"first"_s));
    world.restart();
    QVERIFY(world.store().compactForm(PreferenceKeys::notificationsCacheKey));

    // Written as JSON only, as the store's other writers do.
    const QList<NotificationPtr> other = threads(u"other"_s).mid(1);
    world.store().setData(PreferenceKeys::notificationsCacheKey, Notification::encodeList(other));
    QCOMPARE(world.store().compactForm(PreferenceKeys::notificationsCacheKey), std::nullopt);
    world.store().remove(PreferenceKeys::favoritesKey);
    world.store().flush();
    world.restart();

    Caches expected = Caches::named(u"first"_s);
    expected.notifications = other;
    expected.favorites.clear();
    compareCaches(world.load(), expected);
    QCOMPARE(world.console().lines(), QStringList {});
}

// A form is read whole or not at all, never as a shorter list, past its end or as a
// list of the other kind.
void TestPreferenceSnapshot::compactFormCutShortIsRefused_data()
{
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("ofThreads");

    const QList<NotificationPtr> notifications = threads(u"first"_s);
    QTest::newRow("threads") << CompactRecords::encode(notifications) << Notification::encodeList(notifications)
                             << true;
    const QList<IssuePtr> issues = assigned(u"first"_s);
    QTest::newRow("assigned items") << CompactRecords::encode(issues) << Issue::encodeList(issues) << false;
}

void TestPreferenceSnapshot::compactFormCutShortIsRefused()
{
    QFETCH(QByteArray, form);
    QFETCH(QByteArray, json);
    QFETCH(bool, ofThreads);
    // The JSON of what the form decodes to as the given kind; none when it is refused.
    const auto decoded = [](const QByteArray& bytes, bool asThreads) -> std::optional<QByteArray> {
        if (asThreads) {
            const auto list = CompactRecords::decodeNotifications(bytes);
            return list ? std::optional(Notification::encodeList(*list)) : std::nullopt;
        }
        const auto list = CompactRecords::decodeIssues(bytes);
        return list ? std::optional(Issue::encodeList(*list)) : std::nullopt;
    };
    QCOMPARE(decoded(form, ofThreads), json);
    QCOMPARE(decoded(form, !ofThreads), std::nullopt);
    for (qsizetype length = 0; length < form.size(); ++length)
        QVERIFY2(!decoded(form.left(length), ofThreads), qPrintable(QString::number(length)));
    QVERIFY(!decoded(form + QByteArray(8, '\0'), ofThreads));
}

// The snapshot holds the token's fallback copy like the preference file.
void TestPreferenceSnapshot::snapshotIsPrivateToItsOwner()
{
    World world;
    const mode_t oldMask = ::umask(022);
    world.store().setString(PreferenceKeys::githubToken, u"ghp_fallback"_s);
    world.store().flush();
    ::umask(oldMask);
    struct stat info
    { };
    QCOMPARE(::stat(QFile::encodeName(world.snapshotPath()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0600));
    QCOMPARE(PreferenceSnapshot::pathFor(world.path()), world.snapshotPath());
}

QTEST_GUILESS_MAIN(TestPreferenceSnapshot)
#include "tst_preferencesnapshot.moc"
