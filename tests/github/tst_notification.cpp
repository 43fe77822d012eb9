#include "TestData.h"
#include "github/JsonDecoder.h"
#include "github/JsonObjectReader.h"
#include "github/Notification.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A thread with the keys the record reads and a few it ignores.
// (Plain literals for URLs: moc misreads "//" inside raw strings.)
QByteArray threadJson(const QByteArray& fields)
{
    return "{\"unread\": true, \"url\": \"https://api.github.com/notifications/threads/7\", " + fields + "}";
}

const QByteArray goodFields = R"("id": "7", "subject": {"title": "Fix it", "type": "PullRequest", "url": )"
                              "\"https://api.github.com/repos/o/r/pulls/7\"}, "
                              R"("repository": {"id": 1, "full_name": "o/r"}, "reason": "review_requested")"
                              R"(, "updated_at": "2025-03-01T09:30:00Z")";

QList<NotificationPtr> decoded(const QByteArray& json)
{
    return TestData::decodedOrFatal(Notification::decodeList(json));
}

} // namespace

class TestNotification : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesGitHubsThreadList();
    void decodesGitHubsSingleThread();
    void absentOrNullOptionalsGiveNoValue_data();
    void absentOrNullOptionalsGiveNoValue();
    void cachedRecordKeepsLocalFields();
    void writesOptionalKeysOnlyWithAValue();
    void diagnostics_data();
    void diagnostics();
    void int64Values_data();
    void int64Values();
};

void TestNotification::decodesGitHubsThreadList()
{
    const QList<NotificationPtr> threads
        = decoded(TestData::example(u"openapi/GET-notifications.200.thread-items.json"_s));
    QCOMPARE(threads.size(), 1);
    const Notification& n = *threads.first();
    QCOMPARE(n.id(), u"1"_s);
    QCOMPARE(n.subject().title(), u"Greetings"_s);
    QCOMPARE(n.subject().type(), u"Issue"_s);
    QCOMPARE(n.subject().url(), u"https://api.github.com/repos/octokit/octokit.rb/issues/123"_s);
    QCOMPARE(n.repository().fullName(), u"octocat/Hello-World"_s);
    QCOMPARE(n.reason(), u"subscribed"_s);
    QCOMPARE(n.updatedAt(), u"2014-11-07T22:01:45Z"_s);
    QCOMPARE(n.subject().state(), std::nullopt);
    QCOMPARE(n.subject().ciStatus(), std::nullopt);
    QCOMPARE(n.subject().reviewStatus(), std::nullopt);
}

void TestNotification::decodesGitHubsSingleThread()
{
    const auto result = JsonDecoder::decode(
        TestData::example(u"openapi/GET-notifications-threads-id.200.thread.json"_s), &Notification::fromJson);
    QVERIFY(std::holds_alternative<NotificationPtr>(result));
    const NotificationPtr& n = std::get<NotificationPtr>(result);
    QCOMPARE(n->id(), u"1"_s);
    QCOMPARE(n->repository().fullName(), u"octocat/Hello-World"_s);
}

void TestNotification::absentOrNullOptionalsGiveNoValue_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("reason null, url null")
        << threadJson(R"("id": "1", "subject": {"title": "t", "type": "Discussion", "url": null},
                    "repository": {"full_name": "o/r"}, "reason": null, "updated_at": "u")");
    QTest::newRow("reason and url absent")
        << threadJson(R"("id": "1", "subject": {"title": "t", "type": "Discussion"}, "repository": {"full_name": "o/r"},
                    "updated_at": "u")");
}

void TestNotification::absentOrNullOptionalsGiveNoValue()
{
    QFETCH(QByteArray, json);
    const QList<NotificationPtr> threads = decoded('[' + json + ']');
    QCOMPARE(threads.first()->reason(), std::nullopt);
    QCOMPARE(threads.first()->subject().url(), std::nullopt);
}

void TestNotification::cachedRecordKeepsLocalFields()
{
    const QByteArray cached = '['
        + threadJson(R"("id": "9", "subject": {"title": "t", "type": "PullRequest", "url": "u",
        "state": "merged", "ciStatus": "passing", "reviewStatus": "approved"}, "repository": {"full_name": "o/r"},
        "updated_at": "2025-03-01T09:30:00Z")")
        + ']';
    const QList<NotificationPtr> first = decoded(cached);
    const Subject& subject = first.first()->subject();
    QCOMPARE(subject.state(), u"merged"_s);
    QCOMPARE(subject.ciStatus(), u"passing"_s);
    QCOMPARE(subject.reviewStatus(), u"approved"_s);

    const QByteArray written = Notification::encodeList(first);
    QVERIFY2(!written.contains('\n') && !written.contains(": "), written.constData());
    const QList<NotificationPtr> again = decoded(written);
    QCOMPARE(again.first()->subject(), subject);
    QCOMPARE(again.first()->toJson(), first.first()->toJson());
}

void TestNotification::writesOptionalKeysOnlyWithAValue()
{
    Notification n(u"3"_s, Subject(u"t"_s, u"Issue"_s, std::nullopt), Repository(u"o/r"_s), std::nullopt, u"u"_s);
    const QJsonObject bare = n.toJson();
    QCOMPARE(bare.keys(), (QStringList {u"id"_s, u"repository"_s, u"subject"_s, u"updated_at"_s}));
    QCOMPARE(bare.value(u"subject").toObject().keys(), (QStringList {u"title"_s, u"type"_s}));

    n.subject().setState(u"open"_s);
    n.subject().setCiStatus(u"pending"_s);
    QCOMPARE(n.toJson().value(u"subject").toObject().keys(),
        (QStringList {u"ciStatus"_s, u"state"_s, u"title"_s, u"type"_s}));
}

// The record's own faults; bodies that are not JSON, and faults of the list, are
// rows of the service's test.
void TestNotification::diagnostics_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("lines");

    const auto replaced = [](const QByteArray& from, const QByteArray& to) -> QByteArray {
        return '[' + threadJson(QByteArray(goodFields).replace(from, to)) + ']';
    };
    QTest::newRow("type mismatch") << replaced(R"("title": "Fix it")", R"("title": 12)")
                                   << QStringList {u"❌ Type mismatch for type: String"_s,
                                          u"   Context: Expected to decode String but found a number instead."_s,
                                          u"   Coding path: [0, \"subject\", \"title\"]"_s};
    QTest::newRow("reason of another type")
        << replaced(R"("reason": "review_requested")", R"("reason": 5)")
        << QStringList {u"❌ Type mismatch for type: String"_s,
               u"   Context: Expected to decode String but found a number instead."_s,
               u"   Coding path: [0, \"reason\"]"_s};
    QTest::newRow("value not found") << replaced(R"("id": "7")", R"("id": null)")
                                     << QStringList {u"❌ Value not found for type: String"_s,
                                            u"   Context: Expected String value but found null instead."_s,
                                            u"   Coding path: [0, \"id\"]"_s};
    QTest::newRow("subject null") << replaced(
        goodFields, R"("id": "1", "subject": null, "repository": {"full_name": "o/r"}, "updated_at": "u")")
                                  << QStringList {u"❌ Value not found for type: Subject"_s,
                                         u"   Context: Expected Subject value but found null instead."_s,
                                         u"   Coding path: [0, \"subject\"]"_s};
    QTest::newRow("key not found") << replaced(R"(, "updated_at": "2025-03-01T09:30:00Z")", "")
                                   << QStringList {u"❌ Key not found: updated_at"_s,
                                          u"   Context: No value associated with key \"updated_at\"."_s,
                                          u"   Coding path: [0]"_s};
    QTest::newRow("repository without full_name")
        << replaced(R"("full_name": "o/r")", R"("name": "r")")
        << QStringList {u"❌ Key not found: full_name"_s, u"   Context: No value associated with key \"full_name\"."_s,
               u"   Coding path: [0, \"repository\"]"_s};
    QTest::newRow("data corrupted")
        << QByteArray("<html>")
        << QStringList {u"❌ Data corrupted: The given data was not valid JSON: illegal value at offset 1."_s,
               u"   Coding path: []"_s};
}

void TestNotification::diagnostics()
{
    QFETCH(QByteArray, json);
    QFETCH(QStringList, lines);
    const Decoded<QList<NotificationPtr>> result = Notification::decodeList(json);
    QVERIFY(std::holds_alternative<DecodingError>(result));
    QCOMPARE(std::get<DecodingError>(result).diagnostics(), lines);
}

void TestNotification::int64Values_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<std::optional<qint64>>("expected");
    QTest::addColumn<QString>("error");

    QTest::newRow("beyond 32 bits") << QByteArray("18402522398") << std::optional<qint64>(18402522398) << QString();
    QTest::newRow("largest") << QByteArray("9223372036854775807")
                             << std::optional<qint64>(std::numeric_limits<qint64>::max()) << QString();
    QTest::newRow("smallest") << QByteArray("-9223372036854775808")
                              << std::optional<qint64>(std::numeric_limits<qint64>::min()) << QString();
    QTest::newRow("beyond 64 bits") << QByteArray("9223372036854775808") << std::optional<qint64>()
                                    << u"dataCorrupted(codingPath: [\"id\"], debugDescription: \"Parsed JSON number "
                                       "9.2233720368547758e+18 does not fit in Int64.\")"_s;
    QTest::newRow("fraction") << QByteArray("1.5") << std::optional<qint64>()
                              << u"dataCorrupted(codingPath: [\"id\"], debugDescription: \"Parsed JSON number 1.5 "
                                 "does not fit in Int64.\")"_s;
    QTest::newRow("string") << QByteArray("\"12\"") << std::optional<qint64>()
                            << u"typeMismatch(type: Int64, codingPath: [\"id\"], debugDescription: \"Expected to "
                               "decode Int64 but found a string instead.\")"_s;
}

void TestNotification::int64Values()
{
    QFETCH(QByteArray, value);
    QFETCH(std::optional<qint64>, expected);
    QFETCH(QString, error);

    const auto result = JsonDecoder::decode("{\"id\": " + value + '}',
        [](const JsonValueReader& top) { return top.toObject(QLatin1String("Issue")).int64(QLatin1String("id")); });
    if (expected)
        QCOMPARE(std::get<qint64>(result), *expected);
    else
        QCOMPARE(std::get<DecodingError>(result).description(), error);
}

QTEST_GUILESS_MAIN(TestNotification)
#include "tst_notification.moc"
