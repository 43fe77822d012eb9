#include "github/JsonDecoder.h"
#include "github/JsonObjectReader.h"
#include "github/Notification.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

QByteArray example(const QString& name)
{
    QFile file(qEnvironmentVariable("TIDEWHELK_EXAMPLES_DIR") + u'/' + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing example %s", qPrintable(name));
    return file.readAll();
}

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
    Decoded<QList<NotificationPtr>> result = Notification::decodeList(json);
    if (const auto* error = std::get_if<DecodingError>(&result))
        qFatal("unexpected decoding error %s", qPrintable(error->description()));
    return std::get<QList<NotificationPtr>>(result);
}

DecodingError failure(const QByteArray& json)
{
    Decoded<QList<NotificationPtr>> result = Notification::decodeList(json);
    if (std::holds_alternative<QList<NotificationPtr>>(result))
        qFatal("decoding was expected to fail");
    return std::get<DecodingError>(result);
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
    void badDocumentsFailWhole_data();
    void badDocumentsFailWhole();
    void diagnosticsLines_data();
    void diagnosticsLines();
    void int64Values_data();
    void int64Values();
};

void TestNotification::decodesGitHubsThreadList()
{
    const QList<NotificationPtr> threads
        = decoded(example(QStringLiteral("openapi/GET-notifications.200.thread-items.json")));
    QCOMPARE(threads.size(), 1);
    const Notification& n = *threads.first();
    QCOMPARE(n.id(), QStringLiteral("1"));
    QCOMPARE(n.subject().title(), QStringLiteral("Greetings"));
    QCOMPARE(n.subject().type(), QStringLiteral("Issue"));
    QCOMPARE(n.subject().url(), QStringLiteral("https://api.github.com/repos/octokit/octokit.rb/issues/123"));
    QCOMPARE(n.repository().fullName(), QStringLiteral("octocat/Hello-World"));
    QCOMPARE(n.reason(), QStringLiteral("subscribed"));
    QCOMPARE(n.updatedAt(), QStringLiteral("2014-11-07T22:01:45Z"));
    QCOMPARE(n.subject().state(), std::nullopt);
    QCOMPARE(n.subject().ciStatus(), std::nullopt);
    QCOMPARE(n.subject().reviewStatus(), std::nullopt);
}

void TestNotification::decodesGitHubsSingleThread()
{
    const auto result = JsonDecoder::decode(
        example(QStringLiteral("openapi/GET-notifications-threads-id.200.thread.json")), &Notification::fromJson);
    QVERIFY(std::holds_alternative<NotificationPtr>(result));
    const NotificationPtr& n = std::get<NotificationPtr>(result);
    QCOMPARE(n->id(), QStringLiteral("1"));
    QCOMPARE(n->repository().fullName(), QStringLiteral("octocat/Hello-World"));
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
    QCOMPARE(subject.state(), QStringLiteral("merged"));
    QCOMPARE(subject.ciStatus(), QStringLiteral("passing"));
    QCOMPARE(subject.reviewStatus(), QStringLiteral("approved"));

    const QByteArray written = Notification::encodeList(first);
    QVERIFY2(!written.contains('\n') && !written.contains(": "), written.constData());
    const QList<NotificationPtr> again = decoded(written);
    QCOMPARE(again.first()->subject(), subject);
    QCOMPARE(again.first()->toJson(), first.first()->toJson());
}

void TestNotification::writesOptionalKeysOnlyWithAValue()
{
    Notification n(QStringLiteral("3"), Subject(QStringLiteral("t"), QStringLiteral("Issue"), std::nullopt),
        Repository(QStringLiteral("o/r")), std::nullopt, QStringLiteral("u"));
    const QJsonObject bare = n.toJson();
    QCOMPARE(bare.keys(), (QStringList {u"id"_qs, u"repository"_qs, u"subject"_qs, u"updated_at"_qs}));
    QCOMPARE(bare.value(u"subject").toObject().keys(), (QStringList {u"title"_qs, u"type"_qs}));

    n.subject().setState(QStringLiteral("open"));
    n.subject().setCiStatus(QStringLiteral("pending"));
    QCOMPARE(n.toJson().value(u"subject").toObject().keys(),
        (QStringList {u"ciStatus"_qs, u"state"_qs, u"title"_qs, u"type"_qs}));
}

void TestNotification::badDocumentsFailWhole_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<DecodingError::Kind>("kind");
    QTest::addColumn<QString>("typeOrKey");
    QTest::addColumn<QString>("path");

    // Bodies that are not JSON, and the list's own faults, are rows of the service's test.
    using K = DecodingError::Kind;
    QTest::newRow("nested array instead of thread")
        << QByteArray("[[[[[[[[[[]]]]]]]]]]") << K::typeMismatch << u"Notification"_qs << u"[0]"_qs;
    QTest::newRow("title is a number") << ('['
        + threadJson(QByteArray(goodFields).replace(R"("title": "Fix it")", R"("title": 12)")) + ']')
                                       << K::typeMismatch << u"String"_qs << u"[0, \"subject\", \"title\"]"_qs;
    QTest::newRow("subject null") << ('['
        + threadJson(R"("id": "1", "subject": null, "repository": {"full_name": "o/r"}, "updated_at": "u")") + ']')
                                  << K::valueNotFound << u"Subject"_qs << u"[0, \"subject\"]"_qs;
    QTest::newRow("reason of another type")
        << ('[' + threadJson(QByteArray(goodFields).replace(R"("reason": "review_requested")", R"("reason": 5)")) + ']')
        << K::typeMismatch << u"String"_qs << u"[0, \"reason\"]"_qs;
    QTest::newRow("repository without full_name")
        << ('[' + threadJson(QByteArray(goodFields).replace(R"("full_name": "o/r")", R"("name": "r")")) + ']')
        << K::keyNotFound << u"full_name"_qs << u"[0, \"repository\"]"_qs;
}

void TestNotification::badDocumentsFailWhole()
{
    QFETCH(QByteArray, json);
    QFETCH(DecodingError::Kind, kind);
    QFETCH(QString, typeOrKey);
    QFETCH(QString, path);

    const DecodingError error = failure(json);
    QCOMPARE(error.kind(), kind);
    QCOMPARE(kind == DecodingError::Kind::keyNotFound ? error.key() : error.typeName(), typeOrKey);
    QCOMPARE(error.codingPathText(), path);
    QVERIFY(!error.contextDescription().isEmpty());
}

void TestNotification::diagnosticsLines_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("type mismatch") << ('['
        + threadJson(QByteArray(goodFields).replace(R"("title": "Fix it")", R"("title": 12)")) + ']')
                                   << QStringList {u"❌ Type mismatch for type: String"_qs,
                                          u"   Context: Expected to decode String but found a number instead."_qs,
                                          u"   Coding path: [0, \"subject\", \"title\"]"_qs};
    QTest::newRow("value not found") << ('['
        + threadJson(QByteArray(goodFields).replace(R"("id": "7")", R"("id": null)")) + ']')
                                     << QStringList {u"❌ Value not found for type: String"_qs,
                                            u"   Context: Expected String value but found null instead."_qs,
                                            u"   Coding path: [0, \"id\"]"_qs};
    QTest::newRow("key not found") << ('['
        + threadJson(QByteArray(goodFields).replace(R"(, "updated_at": "2025-03-01T09:30:00Z")", "")) + ']')
                                   << QStringList {u"❌ Key not found: updated_at"_qs,
                                          u"   Context: No value associated with key \"updated_at\"."_qs,
                                          u"   Coding path: [0]"_qs};
    QTest::newRow("data corrupted")
        << QByteArray("<html>")
        << QStringList {u"❌ Data corrupted: The given data was not valid JSON: illegal value at offset 1."_qs,
               u"   Coding path: []"_qs};
}

void TestNotification::diagnosticsLines()
{
    QFETCH(QByteArray, json);
    QFETCH(QStringList, lines);
    QCOMPARE(failure(json).diagnostics(), lines);
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
                                       "9.2233720368547758e+18 does not fit in Int64.\")"_qs;
    QTest::newRow("fraction") << QByteArray("1.5") << std::optional<qint64>()
                              << u"dataCorrupted(codingPath: [\"id\"], debugDescription: \"Parsed JSON number 1.5 "
                                 "does not fit in Int64.\")"_qs;
    QTest::newRow("string") << QByteArray("\"12\"") << std::optional<qint64>()
                            << u"typeMismatch(type: Int64, codingPath: [\"id\"], debugDescription: \"Expected to "
                               "decode Int64 but found a string instead.\")"_qs;
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
