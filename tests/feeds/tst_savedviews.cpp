#include "ConsoleCapture.h"
#include "TestHome.h"
#include "feeds/SavedViews.h"
#include "storage/Environment.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

using Change = std::function<void(SavedViews&)>;

const QString kKey = PreferenceKeys::notificationViews;

QStringList names(const QList<SavedView>& views)
{
    QStringList result;
    for (const SavedView& view : views)
        result << view.name;
    return result;
}

// A preference file in a temporary home, its console and the views read from it.
class World
{
public:
    World()
        : m_store(std::make_unique<PreferenceStore>(m_home.path() + u"/tidewhelk.ini"_s))
    {
        m_environment.preferences = m_store.get();
        m_environment.console = &m_console;
    }

    PreferenceStore& store() { return *m_store; }
    ConsoleCapture& console() { return m_console; }
    std::unique_ptr<SavedViews> views() const
    {
        return std::make_unique<SavedViews>(m_environment, SavedViews::notificationViews());
    }

    // Writes the file and opens it anew, as the next start does.
    void restart()
    {
        m_store.reset();
        m_store = std::make_unique<PreferenceStore>(m_home.path() + u"/tidewhelk.ini"_s);
        m_environment.preferences = m_store.get();
    }

private:
    TestHome m_home;
    ConsoleCapture m_console;
    std::unique_ptr<PreferenceStore> m_store;
    Environment m_environment;
};

} // namespace

Q_DECLARE_METATYPE(Change)

// The saved views of a feed: the defaults a new user finds, the user's changes kept
// across starts, and damaged stored values falling back to the defaults.
class TestSavedViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aNewUserFindsTheDefaults();
    void changesAreStoredAndReadOnTheNextStart_data();
    void changesAreStoredAndReadOnTheNextStart();
    void renameRefusesBlankAndTakenNames_data();
    void renameRefusesBlankAndTakenNames();
    void rowChangesAreAnnouncedAroundThemAndEditsInPlace();
    void anEmptiedListStaysEmpty();
    void aDamagedValueGivesTheDefaultsAndOneLine_data();
    void aDamagedValueGivesTheDefaultsAndOneLine();
};

void TestSavedViews::aNewUserFindsTheDefaults()
{
    World world;
    const QList<SavedView> expected {{u"Review requested"_s, u"reason:review_requested"_s},
        {u"Failing CI"_s, u"is:pr ci:failed"_s}, {u"Mentions"_s, u"reason:mention reason:team_mention"_s},
        {u"Open pull requests"_s, u"is:pr is:open"_s}};
    QCOMPARE(world.views()->views(), expected);
    // Reading the defaults writes nothing.
    QVERIFY(!world.store().object(kKey).isValid());
    QVERIFY(world.console().lines().isEmpty());
}

void TestSavedViews::changesAreStoredAndReadOnTheNextStart_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QList<SavedView>>("expected");
    const SavedView review {u"Review requested"_s, u"reason:review_requested"_s};
    const SavedView failing {u"Failing CI"_s, u"is:pr ci:failed"_s};
    const SavedView mentions {u"Mentions"_s, u"reason:mention reason:team_mention"_s};
    const SavedView open {u"Open pull requests"_s, u"is:pr is:open"_s};
    const SavedView mine {u"Mine"_s, u"repo:octocat/Hello-World -is:closed"_s};

    QTest::newRow("save appends") << Change([mine](SavedViews& views) { views.save(mine); })
                                  << QList<SavedView> {review, failing, mentions, open, mine};
    QTest::newRow("save under a taken name replaces its query") << Change([](SavedViews& views) {
        views.save({u"Mentions"_s, u"reason:mention"_s});
    }) << QList<SavedView> {review, failing, {u"Mentions"_s, u"reason:mention"_s}, open};
    QTest::newRow("rename trims the name")
        << Change([](SavedViews& views) { QVERIFY(views.rename(1, u"  Red builds "_s)); })
        << QList<SavedView> {review, {u"Red builds"_s, failing.query}, mentions, open};
    QTest::newRow("move up") << Change([](SavedViews& views) { views.move(2, 1); })
                             << QList<SavedView> {review, mentions, failing, open};
    QTest::newRow("move down to the end")
        << Change([](SavedViews& views) { views.move(0, 3); }) << QList<SavedView> {failing, mentions, open, review};
    QTest::newRow("move out of range changes nothing")
        << Change([](SavedViews& views) { views.move(3, 4); }) << QList<SavedView> {review, failing, mentions, open};
    QTest::newRow("delete") << Change([](SavedViews& views) { views.remove(0); })
                            << QList<SavedView> {failing, mentions, open};
}

void TestSavedViews::changesAreStoredAndReadOnTheNextStart()
{
    QFETCH(Change, change);
    QFETCH(QList<SavedView>, expected);
    World world;
    auto views = world.views();
    change(*views);
    QCOMPARE(views->views(), expected);

    world.restart();
    QCOMPARE(world.views()->views(), expected);
    QVERIFY(world.console().lines().isEmpty());
}

void TestSavedViews::renameRefusesBlankAndTakenNames_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << 0 << QString() << false;
    QTest::newRow("spaces only") << 0 << u"   "_s << false;
    QTest::newRow("another view's name") << 0 << u"Mentions"_s << false;
    QTest::newRow("its own name") << 2 << u"Mentions"_s << true;
    QTest::newRow("no such row") << 4 << u"Mine"_s << false;
}

void TestSavedViews::renameRefusesBlankAndTakenNames()
{
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    World world;
    auto views = world.views();
    const QList<SavedView> before = views->views();
    QSignalSpy edited(views.get(), &SavedViews::viewChanged);
    QCOMPARE(views->rename(row, name), accepted);
    QCOMPARE(views->views(), before);
    QCOMPARE(edited.count(), 0);
    QVERIFY(!world.store().object(kKey).isValid());
}

void TestSavedViews::rowChangesAreAnnouncedAroundThemAndEditsInPlace()
{
    World world;
    auto views = world.views();
    QStringList seen;
    connect(views.get(), &SavedViews::aboutToChange, this,
        [&] { seen << u"before: "_s + names(views->views()).join(u','); });
    connect(views.get(), &SavedViews::changed, this, [&] { seen << u"after: "_s + names(views->views()).join(u','); });
    connect(views.get(), &SavedViews::viewChanged, this, [&](int row) { seen << u"row %1"_s.arg(row); });

    views->remove(1);
    views->rename(0, u"Reviews"_s);
    views->save({u"Reviews"_s, u"reason:review_requested -is:closed"_s});
    // The same query again changes nothing.
    views->save({u"Reviews"_s, u"reason:review_requested -is:closed"_s});
    QCOMPARE(seen,
        QStringList({u"before: Review requested,Failing CI,Mentions,Open pull requests"_s,
            u"after: Review requested,Mentions,Open pull requests"_s, u"row 0"_s, u"row 0"_s}));
}

void TestSavedViews::anEmptiedListStaysEmpty()
{
    World world;
    auto views = world.views();
    while (views->count() > 0)
        views->remove(0);
    QCOMPARE(world.store().data(kKey), QByteArray("[]"));

    world.restart();
    QVERIFY(world.views()->views().isEmpty());
}

void TestSavedViews::aDamagedValueGivesTheDefaultsAndOneLine_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("not JSON") << QVariant(QByteArray("[{\"name\":"));
    QTest::newRow("an object") << QVariant(QByteArray(R"({"name":"Mine","query":"is:pr"})"));
    QTest::newRow("an array of strings") << QVariant(QByteArray(R"(["is:pr"])"));
    QTest::newRow("a number as query") << QVariant(QByteArray(R"([{"name":"Mine","query":7}])"));
    QTest::newRow("a missing name") << QVariant(QByteArray(R"([{"query":"is:pr"}])"));
    QTest::newRow("an empty name") << QVariant(QByteArray(R"([{"name":"","query":"is:pr"}])"));
    QTest::newRow("a blank name after a good view")
        << QVariant(QByteArray(R"([{"name":"Mine","query":"is:pr"},{"name":" ","query":"is:issue"}])"));
    QTest::newRow("text instead of data") << QVariant(u"[]"_s);
}

void TestSavedViews::aDamagedValueGivesTheDefaultsAndOneLine()
{
    QFETCH(QVariant, stored);
    World world;
    if (stored.typeId() == QMetaType::QByteArray)
        world.store().setData(kKey, stored.toByteArray());
    else
        world.store().setString(kKey, stored.toString());
    world.restart();

    auto views = world.views();
    QCOMPARE(views->views(), SavedViews::notificationViews().defaults);
    QCOMPARE(views->views(), views->views());
    QCOMPARE(world.console().take(),
        QStringList {u"⚠️ Saved views damaged (notificationViews): using the default views"_s});
    // The next change replaces the damaged value.
    views->remove(0);
    world.restart();
    QCOMPARE(world.views()->count(), 3);
    QVERIFY(world.console().lines().isEmpty());
}

QTEST_GUILESS_MAIN(TestSavedViews)
#include "tst_savedviews.moc"
