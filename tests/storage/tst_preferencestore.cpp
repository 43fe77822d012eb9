#include "Files.h"
#include "TestHome.h"
#include "storage/FileStamp.h"
#include "storage/PreferenceSnapshot.h"
#include "storage/PreferenceStore.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTimeZone>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

mode_t modeOf(const QString& path)
{
    struct stat info
    { };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 0777) : 0;
}

} // namespace

class TestPreferenceStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valuesSurviveReopeningTheStore();
    void readOfAnotherType_data();
    void readOfAnotherType();
    void writesAreSeenAtOnceAndReachTheDiskWithinASecond();
    void removeAllEmptiesTheFileAtOnce();
    void discardedWritesNeverReachTheFile();
    void groupsKeepTheirKeysOutOfTheFirstSnapshot();
    void storingTheHeldValuesWritesNothing();
    void fileIsPrivateToItsOwner();
    void corruptFileReadsAsDefaultsAndIsReplaced_data();
    void corruptFileReadsAsDefaultsAndIsReplaced();
    void killDuringSaveLeavesOldOrNewContent();
};

void TestPreferenceStore::valuesSurviveReopeningTheStore()
{
    TestHome home;
    const QDateTime lastPull(QDate(2026, 11, 30), QTime(8, 15, 42, 250), QTimeZone::utc());
    const QByteArray json = QByteArrayLiteral("[{\"id\":\"1\",\"title\":\"caf\xc3\xa9 \\u00e9\"}]\n\x00\xff");
    {
        PreferenceStore store;
        store.setData(u"notificationsCacheKey"_s, json);
        store.setString(u"github_token"_s, u"ghp_a,b=c;d \"q\" \u00e9"_s);
        store.setBool(u"autoReload"_s, true);
        store.setBool(u"autoReloadAssignments"_s, false);
        store.setDate(u"lastPullDate"_s, lastPull);
        store.setString(u"gone"_s, u"x"_s);
        store.remove(u"gone"_s);
    }
    QVERIFY(QFile::exists(home.configHome() + u"/tidewhelk/tidewhelk.ini"_s));

    PreferenceStore reopened;
    QCOMPARE(reopened.data(u"notificationsCacheKey"_s), json);
    QCOMPARE(reopened.string(u"github_token"_s), u"ghp_a,b=c;d \"q\" \u00e9"_s);
    QCOMPARE(reopened.boolValue(u"autoReload"_s), true);
    QCOMPARE(reopened.boolValue(u"autoReloadAssignments"_s), false);
    QCOMPARE(reopened.date(u"lastPullDate"_s), lastPull);
    QVERIFY(!reopened.object(u"gone"_s).isValid());
}

void TestPreferenceStore::readOfAnotherType_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QVariant>("expected");

    const QVariant absent;
    QTest::newRow("string as data") << QByteArray("k=hello") << "data" << absent;
    QTest::newRow("truncated byte array as data") << QByteArray("k=@ByteArray(abc") << "data" << absent;
    QTest::newRow("byte array as data") << QByteArray("k=@ByteArray(abc)") << "data" << QVariant(QByteArray("abc"));
    QTest::newRow("byte array as string") << QByteArray("k=@ByteArray(abc)") << "string" << absent;
    QTest::newRow("unquoted list as string") << QByteArray("k=a,b") << "string" << absent;
    QTest::newRow("string as date") << QByteArray("k=2026-01-01T00:00:00Z") << "date" << absent;
    QTest::newRow("truncated date as date") << QByteArray("k=@DateTime(\\0\\0\\0\\x10") << "date" << absent;
    QTest::newRow("true from the file") << QByteArray("k=true") << "bool" << QVariant(true);
    QTest::newRow("false from the file") << QByteArray("k=false") << "bool" << QVariant(false);
    QTest::newRow("other text as bool") << QByteArray("k=yes") << "bool" << QVariant(false);
    QTest::newRow("data as bool") << QByteArray("k=@ByteArray(true)") << "bool" << QVariant(false);
}

void TestPreferenceStore::readOfAnotherType()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, read);
    QFETCH(QVariant, expected);
    TestHome home;
    const QString path = home.path() + u"/store.ini"_s;
    writeFile(path, "[General]\n" + line + '\n');

    const PreferenceStore store(path);
    const QString key = u"k"_s;
    const auto orAbsent = [](const auto& value) { return value ? QVariant(*value) : QVariant(); };
    if (read == QLatin1String("data"))
        QCOMPARE(orAbsent(store.data(key)), expected);
    else if (read == QLatin1String("string"))
        QCOMPARE(orAbsent(store.string(key)), expected);
    else if (read == QLatin1String("date"))
        QCOMPARE(orAbsent(store.date(key)), expected);
    else
        QCOMPARE(QVariant(store.boolValue(key)), expected);
}

void TestPreferenceStore::writesAreSeenAtOnceAndReachTheDiskWithinASecond()
{
    TestHome home;
    const QString path = home.path() + u"/store.ini"_s;
    PreferenceStore store(path);
    store.setString(u"a"_s, u"1"_s);
    store.flush();
    const QByteArray written = fileContent(path);
    QVERIFY(written.contains("a=1"));

    // A burst of writes, as during a refresh, is seen at once but not written one by one.
    for (int i = 0; i < 20; ++i) {
        store.setData(u"notificationsCacheKey"_s, QByteArray::number(i));
        QCOMPARE(store.data(u"notificationsCacheKey"_s), QByteArray::number(i));
        QCoreApplication::processEvents();
    }
    store.remove(u"a"_s);
    QVERIFY(!store.object(u"a"_s).isValid());
    QCOMPARE(fileContent(path), written);

    QTRY_VERIFY_WITH_TIMEOUT(fileContent(path).contains("notificationsCacheKey=@ByteArray(19)"), 3000);
    QVERIFY(!fileContent(path).contains("a=1"));
}

void TestPreferenceStore::removeAllEmptiesTheFileAtOnce()
{
    TestHome home;
    const QString path = home.path() + u"/store.ini"_s;
    PreferenceStore store(path);
    store.setString(u"github_token"_s, u"ghp_fallback"_s);
    store.setBool(u"autoReload"_s, true);
    store.flush();
    store.setString(u"readNotificationsKey"_s, u"pending"_s);

    store.removeAll();

    QVERIFY(!store.object(u"github_token"_s).isValid());
    QVERIFY(!store.object(u"readNotificationsKey"_s).isValid());
    QCOMPARE(store.boolValue(u"autoReload"_s), false);
    const QByteArray content = fileContent(path);
    QVERIFY2(!content.contains("github_token") && !content.contains("autoReload")
            && !content.contains("readNotificationsKey"),
        content.constData());
}

// A removed account's store: what its feeds still write, pending or later, lands nowhere,
// and the group stays free for another account.
void TestPreferenceStore::discardedWritesNeverReachTheFile()
{
    TestHome home;
    const QString path = home.path() + u"/store.ini"_s;
    PreferenceStore first(path);
    first.setString(u"accountLogin"_s, u"octocat"_s);
    {
        PreferenceStore removed(path, u"account2"_s);
        removed.setString(u"notificationsCacheKey"_s, u"pending"_s);
        removed.discardWrites();
        removed.setString(u"issuesCacheKey"_s, u"late"_s);
        removed.setCompactForm(u"issuesCacheKey"_s, "form");
        removed.flush();
    }
    first.flush();
    const QByteArray content = fileContent(path);
    QVERIFY2(
        content.contains("octocat") && !content.contains("pending") && !content.contains("late"), content.constData());
    QVERIFY(PreferenceStore(path).childGroups().isEmpty());
}

// A further account's caches are in its own snapshot only; both stores read their values
// back from their snapshots.
void TestPreferenceStore::groupsKeepTheirKeysOutOfTheFirstSnapshot()
{
    TestHome home;
    const QString path = home.path() + u"/store.ini"_s;
    {
        PreferenceStore first(path);
        PreferenceStore further(path, u"account2"_s);
        first.setString(u"notificationsCacheKey"_s, u"first"_s);
        further.setString(u"notificationsCacheKey"_s, u"further"_s);
    }
    const std::optional<FileStamp> stamp = FileStamp::of(path);
    QVERIFY(stamp);
    PreferenceStore first(path);
    const auto firstSnapshot = PreferenceSnapshot::read(first.snapshotPath(), *stamp);
    QVERIFY(std::holds_alternative<PreferenceSnapshot::Content>(firstSnapshot));
    QCOMPARE(
        std::get<PreferenceSnapshot::Content>(firstSnapshot).values.keys(), QStringList {u"notificationsCacheKey"_s});
    QCOMPARE(first.string(u"notificationsCacheKey"_s), u"first"_s);
    QVERIFY(!first.takeSnapshotProblem());
    PreferenceStore further(path, u"account2"_s);
    QCOMPARE(further.string(u"notificationsCacheKey"_s), u"further"_s);
    QVERIFY(!further.takeSnapshotProblem());
}

void TestPreferenceStore::storingTheHeldValuesWritesNothing()
{
    TestHome home;
    const QString path = home.path() + u"/store.ini"_s;
    const QDateTime lastPull(QDate(2026, 11, 30), QTime(8, 15, 42, 250), QTimeZone::utc());
    const auto storeAll = [&lastPull](PreferenceStore& store) {
        store.setData(u"notificationsCacheKey"_s, QByteArrayLiteral("[]"));
        store.setBool(u"autoReload"_s, true);
        store.setBool(u"autoReloadAssignments"_s, false);
        store.setDate(u"lastPullDate"_s, lastPull);
        store.setString(u"github_token"_s, u"ghp_fallback"_s);
        store.remove(u"favoritesKey"_s);
    };
    {
        PreferenceStore store(path);
        storeAll(store);
    }
    const auto inode = [&path] {
        struct stat info
        { };
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
    };
    const ino_t written = inode();

    {
        // As read back from the file, the booleans are text; they still hold the same.
        PreferenceStore reopened(path);
        storeAll(reopened);
    }
    QCOMPARE(inode(), written);

    PreferenceStore changed(path);
    changed.setBool(u"autoReload"_s, false);
    changed.flush();
    QVERIFY(inode() != written);
}

// The file can hold the token's fallback copy: new or found world-readable, it ends
// up readable by its owner only, in a directory of the owner's only.
void TestPreferenceStore::fileIsPrivateToItsOwner()
{
    TestHome home;
    const mode_t oldMask = ::umask(022);
    {
        PreferenceStore store;
        store.setString(u"github_token"_s, u"ghp_fallback"_s);
        store.flush();
        store.removeAll();
    }
    ::umask(oldMask);
    const QString path = PreferenceStore::defaultFilePath();
    QCOMPARE(path, home.configHome() + u"/tidewhelk/tidewhelk.ini"_s);
    QCOMPARE(modeOf(path), mode_t(0600));
    QCOMPARE(modeOf(QFileInfo(path).absolutePath()), mode_t(0700));

    const QString found = home.path() + u"/store.ini"_s;
    writeFile(found, "[General]\nautoReload=true\n");
    ::chmod(QFile::encodeName(found).constData(), 0644);
    PreferenceStore store(found);
    QCOMPARE(store.boolValue(u"autoReload"_s), true);
    store.setString(u"github_token"_s, u"ghp_fallback"_s);
    store.flush();
    QCOMPARE(modeOf(found), mode_t(0600));
}

void TestPreferenceStore::corruptFileReadsAsDefaultsAndIsReplaced_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("binary garbage") << QByteArrayLiteral("\x00\xff\xfe\x01[[[\n=\x80\x81\n\x00\x00");
    QTest::newRow("cut inside a section name") << QByteArray("[General]\nautoReload=true\n[Gen");
    QTest::newRow("cut inside a byte array")
        << QByteArray("[General]\nnotificationsCacheKey=@ByteArray([{\\\"id\\\":\\\"1\\\",\\\"sub");
    QTest::newRow("cut inside a date") << QByteArray("[General]\nlastPullDate=@DateTime(\\0\\0\\0\\x10\\0\\0");
    QTest::newRow("empty") << QByteArray();
}

void TestPreferenceStore::corruptFileReadsAsDefaultsAndIsReplaced()
{
    QFETCH(QByteArray, content);
    TestHome home;
    const QString path = home.path() + u"/store.ini"_s;
    writeFile(path, content);

    PreferenceStore store(path);
    QCOMPARE(store.data(u"notificationsCacheKey"_s), std::nullopt);
    QCOMPARE(store.date(u"lastPullDate"_s), std::nullopt);
    store.setData(u"notificationsCacheKey"_s, QByteArrayLiteral("[]"));
    store.setDate(u"lastPullDate"_s, QDateTime(QDate(2026, 1, 1), QTime(0, 0), QTimeZone::utc()));
    store.flush();

    const QByteArray rewritten = fileContent(path);
    QVERIFY2(rewritten.startsWith("[General]\n"), rewritten.constData());
    QVERIFY2(rewritten.contains("notificationsCacheKey=@ByteArray([])\n"), rewritten.constData());
    QVERIFY2(!rewritten.contains('\0') && !rewritten.contains("[Gen\n") && !rewritten.contains("\"sub"),
        rewritten.constData());
}

void TestPreferenceStore::killDuringSaveLeavesOldOrNewContent()
{
    TestHome home;
    // The snapshot written after the file (killed in between, it is out of date) is read
    // by this other process in the rounds it was whole.
    int snapshotsRead = 0;
    for (int round = 0; round < 6; ++round) {
        const QString path = home.path() + u"/round%1.ini"_s.arg(round);
        QProcess saver;
        saver.start(QStringLiteral(STORAGE_PROBE), {u"save-loop"_s, path});
        QVERIFY2(saver.waitForStarted(), qPrintable(saver.errorString()));
        int saves = 0;
        while (saves < 2 + round % 3) {
            QVERIFY2(saver.waitForReadyRead(10000), "the saver stopped saving");
            saves += saver.readAll().count("saved");
        }
        QTest::qSleep(round * 7);
        saver.kill();
        QVERIFY(saver.waitForFinished());

        PreferenceStore store(path);
        const std::optional<QString> marker = store.string(u"marker"_s);
        const std::optional<QByteArray> payload = store.data(u"payload"_s);
        QVERIFY2(marker && payload, qPrintable(u"round %1"_s.arg(round)));
        QCOMPARE(payload->size(), 2 * 1024 * 1024);
        QCOMPARE(payload->count(marker->toLatin1()), payload->size());
        if (!store.takeSnapshotProblem())
            ++snapshotsRead;

        // The lock file of the killed writer must not block the next writer.
        store.setString(u"marker"_s, u"after"_s);
        store.flush();
        QVERIFY(fileContent(path).contains("marker=after"));
    }
    QVERIFY(snapshotsRead > 0);
}

QTEST_GUILESS_MAIN(TestPreferenceStore)
#include "tst_preferencestore.moc"
