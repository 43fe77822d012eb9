#include "feeds/FeedQuery.h"
#include "feeds/QueryVocabulary.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Every field but drafts, as the notifications list has them.
constexpr QueryFields kAvailable = QueryField::Repository | QueryField::Organization | QueryField::Reason
    | QueryField::Kind | QueryField::State | QueryField::Starred | QueryField::CI | QueryField::Review
    | QueryField::Account;

QString fieldName(QueryField field)
{
    switch (field) {
    case QueryField::Repository:
        return u"repo"_s;
    case QueryField::Organization:
        return u"org"_s;
    case QueryField::Reason:
        return u"reason"_s;
    case QueryField::Kind:
        return u"kind"_s;
    case QueryField::State:
        return u"state"_s;
    case QueryField::Draft:
        return u"draft"_s;
    case QueryField::Starred:
        return u"starred"_s;
    case QueryField::CI:
        return u"ci"_s;
    case QueryField::Review:
        return u"review"_s;
    case QueryField::Account:
        return u"account"_s;
    }
    return {};
}

QString clauseText(const QueryClause& clause)
{
    return (clause.negated ? u"-"_s : QString()) + fieldName(clause.field) + u':' + clause.value;
}

QStringList clauseTexts(const FeedQuery& query)
{
    QStringList texts;
    for (const QueryClause& clause : query.clauses())
        texts << clauseText(clause);
    return texts;
}

} // namespace

// The filter field's query language: how a text is split into qualifiers, title words
// and hints; how clauses combine; how titles match; and what completion offers.
class TestFeedQuery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void clausesCombine_data();
    void clausesCombine();
    void titles_data();
    void titles();
    void accounts_data();
    void accounts();
    void completions_data();
    void completions();
};

void TestFeedQuery::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("clauses");
    QTest::addColumn<QStringList>("titleTexts");
    QTest::addColumn<QStringList>("hints");

    QTest::newRow("empty is no filter") << QString() << QStringList() << QStringList() << QStringList();
    QTest::newRow("only spaces stay the plain text filter")
        << u"  "_s << QStringList() << QStringList {u"  "_s} << QStringList();
    QTest::newRow("without a qualifier the whole text, spaces and quotes kept")
        << u" crash  \"start\" "_s << QStringList() << QStringList {u" crash  \"start\" "_s} << QStringList();
    QTest::newRow("a colon at the end is no qualifier")
        << u"fix: login"_s << QStringList() << QStringList {u"fix: login"_s} << QStringList();
    QTest::newRow("an unknown qualifier alone stays plain text, with a hint")
        << u"foo:bar"_s << QStringList() << QStringList {u"foo:bar"_s} << QStringList {u"unknown qualifier: foo"_s};
    QTest::newRow("qualifiers and words") << u"is:pr crash  start"_s << QStringList {u"kind:pr"_s}
                                          << QStringList {u"crash"_s, u"start"_s} << QStringList();
    QTest::newRow("a phrase keeps its spaces") << u"\"crash at start\" is:open"_s << QStringList {u"state:open"_s}
                                               << QStringList {u"crash at start"_s} << QStringList();
    QTest::newRow("a quote left open runs to the end")
        << u"is:issue \"Crash at"_s << QStringList {u"kind:issue"_s} << QStringList {u"Crash at"_s} << QStringList();
    QTest::newRow("a quoted qualifier is a phrase")
        << u"is:pr \"ci:failed\""_s << QStringList {u"kind:pr"_s} << QStringList {u"ci:failed"_s} << QStringList();
    QTest::newRow("negated, with names and values in any case")
        << u"-REASON:Mention Is:PR -org:Octo"_s << QStringList {u"-reason:mention"_s, u"kind:pr"_s, u"-org:Octo"_s}
        << QStringList() << QStringList();
    QTest::newRow("each value of is: looks at its own field")
        << u"is:pr is:merged is:starred"_s << QStringList {u"kind:pr"_s, u"state:merged"_s, u"starred:starred"_s}
        << QStringList() << QStringList();
    QTest::newRow("repository, CI and review")
        << u"repo:x/y ci:failed review:changes_requested"_s
        << QStringList {u"repo:x/y"_s, u"ci:failed"_s, u"review:changes_requested"_s} << QStringList() << QStringList();
    QTest::newRow("an unknown qualifier is title text")
        << u"is:pr foo:bar"_s << QStringList {u"kind:pr"_s} << QStringList {u"foo:bar"_s}
        << QStringList {u"unknown qualifier: foo"_s};
    QTest::newRow("an unknown value is title text")
        << u"ci:green is:pr"_s << QStringList {u"kind:pr"_s} << QStringList {u"ci:green"_s}
        << QStringList {u"unknown value: ci:green"_s};
    QTest::newRow("a repository needs an owner and a name")
        << u"repo:octocat -repo:a/b/c is:open"_s << QStringList {u"state:open"_s}
        << QStringList {u"repo:octocat"_s, u"-repo:a/b/c"_s}
        << QStringList {u"unknown value: repo:octocat"_s, u"unknown value: repo:a/b/c"_s};
    QTest::newRow("an organisation is one name")
        << u"org:a/b is:pr"_s << QStringList {u"kind:pr"_s} << QStringList {u"org:a/b"_s}
        << QStringList {u"unknown value: org:a/b"_s};
    QTest::newRow("a field the list lacks is dropped, with a hint")
        << u"is:draft -is:draft crash"_s << QStringList() << QStringList {u"crash"_s}
        << QStringList {u"not available here: is:draft"_s};
    QTest::newRow("an account as typed, which is no unknown qualifier")
        << u"-Account:Mona@Host fix"_s << QStringList {u"-account:Mona@Host"_s} << QStringList {u"fix"_s}
        << QStringList();
    QTest::newRow("the same hint once") << u"is:pr x:1 x:2"_s << QStringList {u"kind:pr"_s}
                                        << QStringList {u"x:1"_s, u"x:2"_s} << QStringList {u"unknown qualifier: x"_s};
    QTest::newRow("a qualifier still without its value is left out")
        << u"crash -repo: fix:"_s << QStringList() << QStringList {u"crash"_s, u"fix:"_s} << QStringList();
    QTest::newRow("a lone minus and a negated word are words")
        << u"is:pr - -crash"_s << QStringList {u"kind:pr"_s} << QStringList {u"-"_s, u"-crash"_s} << QStringList();
    QTest::newRow("qualifiers only, spaces around")
        << u"  is:pr   "_s << QStringList {u"kind:pr"_s} << QStringList() << QStringList();
}

void TestFeedQuery::parse()
{
    QFETCH(QString, text);
    QFETCH(QStringList, clauses);
    QFETCH(QStringList, titleTexts);
    QFETCH(QStringList, hints);
    const FeedQuery query = FeedQuery::parse(text, kAvailable);
    QCOMPARE(clauseTexts(query), clauses);
    QCOMPARE(query.titleTexts(), titleTexts);
    QCOMPARE(query.hints(), hints);
    QCOMPARE(query.isEmpty(), clauses.isEmpty() && titleTexts.isEmpty());
}

void TestFeedQuery::clausesCombine_data()
{
    QTest::addColumn<QString>("text");
    // Which of the records a, b, c, d pass.
    QTest::addColumn<QString>("passing");

    QTest::newRow("no query") << QString() << u"abcd"_s;
    QTest::newRow("one clause") << u"reason:mention"_s << u"a"_s;
    QTest::newRow("repeated values of a field: any") << u"reason:mention reason:team_mention"_s << u"ab"_s;
    QTest::newRow("different fields: all") << u"reason:mention is:pr"_s << u"a"_s;
    QTest::newRow("any of a field, all of the fields") << u"reason:mention reason:team_mention is:issue"_s << u"b"_s;
    QTest::newRow("negated") << u"-reason:mention"_s << u"bcd"_s;
    QTest::newRow("every negated value must not hold") << u"-reason:mention -reason:team_mention"_s << u"cd"_s;
    QTest::newRow("wanted and unwanted values of one field") << u"is:pr -is:merged"_s << u"ac"_s;
    QTest::newRow("kind and state are different fields") << u"is:pr is:open"_s << u"a"_s;
    QTest::newRow("clauses and a word") << u"is:pr crash"_s << u"c"_s;
    QTest::newRow("the list lacks drafts: ignored") << u"is:draft"_s << u"abcd"_s;
}

void TestFeedQuery::clausesCombine()
{
    QFETCH(QString, text);
    QFETCH(QString, passing);
    // What each record has, as "field:value"; the title of c holds "crash".
    const QList<std::pair<QChar, QSet<QString>>> records {
        {u'a', {u"reason:mention"_s, u"kind:pr"_s, u"state:open"_s}},
        {u'b', {u"reason:team_mention"_s, u"kind:issue"_s, u"state:open"_s}},
        {u'c', {u"reason:author"_s, u"kind:pr"_s, u"state:closed"_s}},
        {u'd', {u"reason:author"_s, u"kind:pr"_s, u"state:merged"_s}},
    };
    const FeedQuery query = FeedQuery::parse(text, kAvailable);
    QString passed;
    for (const auto& [name, facts] : records) {
        const QString title = name == u'c' ? u"Crash on start"_s : u"Docs"_s;
        const bool kept = query.matches(title,
            [&](const QueryClause& clause) { return facts.contains(fieldName(clause.field) + u':' + clause.value); });
        if (kept)
            passed += name;
    }
    QCOMPARE(passed, passing);
}

void TestFeedQuery::titles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("matches");

    QTest::newRow("plain text ignores case") << u"fix LOGIN"_s << u"Fix login page"_s << true;
    QTest::newRow("plain text is one piece") << u"login fix"_s << u"Fix login page"_s << false;
    QTest::newRow("words in any order") << u"is:pr login fix"_s << u"Fix login page"_s << true;
    QTest::newRow("every word must be there") << u"is:pr login crash"_s << u"Fix login page"_s << false;
    QTest::newRow("a phrase is one piece") << u"is:pr \"login fix\""_s << u"Fix login page"_s << false;
    QTest::newRow("a phrase keeps its inner spaces") << u"is:pr \"x  y\""_s << u"x y"_s << false;
    QTest::newRow("German umlauts") << u"is:pr ÄRGER über"_s << u"Ärger ÜBER den Parser"_s << true;
    QTest::newRow("German capital sharp s folds to ß") << u"is:pr STRAẞE"_s << u"Straße gesperrt"_s << true;
    // Simple case folding, one character for one: no locale expands ß.
    QTest::newRow("German ß is not ss") << u"is:pr STRASSE"_s << u"Straße gesperrt"_s << false;
    QTest::newRow("Turkish dotted letters") << u"is:pr çÖzÜm şİmdİ"_s << u"ÇÖZÜM ŞİMDİ"_s << true;
    QTest::newRow("Turkish dotless i keeps its case pair") << u"is:pr ışık"_s << u"IŞIK yok"_s << false;
    QTest::newRow("Turkish dotted capital İ is not i") << u"is:pr istanbul"_s << u"İstanbul"_s << false;
    QTest::newRow("Greek final sigma") << u"is:pr ΟΔΟΣ"_s << u"οδος"_s << true;
    QTest::newRow("emoji") << u"is:pr 🐛"_s << u"Fix 🐛 in sync"_s << true;
}

void TestFeedQuery::titles()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(bool, matches);
    QCOMPARE(FeedQuery::parse(text, kAvailable).titleMatches(title), matches);
}

void TestFeedQuery::accounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("login");
    // Whether a feed of login on github.example.com keeps its rows.
    QTest::addColumn<bool>("accepted");

    const QString mona = u"mona"_s;
    QTest::newRow("no account clause") << u"is:pr"_s << mona << true;
    QTest::newRow("the login") << u"account:mona"_s << mona << true;
    QTest::newRow("the host") << u"account:github.example.com"_s << mona << true;
    QTest::newRow("login@host") << u"account:mona@github.example.com"_s << mona << true;
    QTest::newRow("case does not matter") << u"ACCOUNT:Mona@GitHub.Example.COM"_s << mona << true;
    QTest::newRow("another login") << u"account:octocat"_s << mona << false;
    QTest::newRow("another host") << u"account:github.com"_s << mona << false;
    QTest::newRow("the login on another host") << u"account:mona@github.com"_s << mona << false;
    QTest::newRow("a part of the login is not it") << u"account:mon"_s << mona << false;
    QTest::newRow("any of several") << u"account:octocat account:mona"_s << mona << true;
    QTest::newRow("negated, the feed's own") << u"-account:mona"_s << mona << false;
    QTest::newRow("negated, another") << u"-account:octocat"_s << mona << true;
    QTest::newRow("the host but not this login") << u"account:github.example.com -account:mona"_s << mona << false;
    QTest::newRow("login still unknown: the host names it") << u"account:github.example.com"_s << QString() << true;
    QTest::newRow("login still unknown: no login does") << u"account:mona"_s << QString() << false;
}

void TestFeedQuery::accounts()
{
    QFETCH(QString, text);
    QFETCH(QString, login);
    QFETCH(bool, accepted);
    const Account account {
        login, GitHubEndpoints(u"https://github.example.com/api/v3"_s, u"https://github.example.com"_s), u"account2"_s};
    const FeedQuery query = FeedQuery::parse(text, kAvailable);
    QVERIFY(query.hints().isEmpty());
    QCOMPARE(query.acceptsAccount(account), accepted);
    // The clause names the feed, never a record: rows are not asked about it.
    QVERIFY(query.matches(u"Title"_s, [](const QueryClause& clause) { return clause.field != QueryField::Account; }));
}

void TestFeedQuery::completions_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<bool>("everyField");
    QTest::addColumn<QStringList>("offers");

    QTest::newRow("qualifier names") << u"r"_s << true << QStringList {u"repo:"_s, u"reason:"_s, u"review:"_s};
    QTest::newRow("negated names") << u"-o"_s << true << QStringList {u"-org:"_s};
    QTest::newRow("is: values") << u"is:"_s << true
                                << QStringList {u"is:pr"_s, u"is:issue"_s, u"is:release"_s, u"is:discussion"_s,
                                       u"is:open"_s, u"is:closed"_s, u"is:merged"_s, u"is:draft"_s, u"is:starred"_s};
    QTest::newRow("values by prefix, any case") << u"CI:p"_s << true << QStringList {u"ci:passing"_s, u"ci:pending"_s};
    QTest::newRow("repositories in the list") << u"repo:"_s << true << QStringList {u"repo:a/b"_s, u"repo:c/d"_s};
    QTest::newRow("reasons in the list") << u"-reason:m"_s << true << QStringList {u"-reason:mention"_s};
    QTest::newRow("nothing for an unknown name") << u"foo:"_s << true << QStringList();
    QTest::newRow("only fields the list has") << u"r"_s << false << QStringList {u"repo:"_s};
    QTest::newRow("only values the list has") << u"is:s"_s << false << QStringList();
    QTest::newRow("the feed's account") << u"-acc"_s << true << QStringList {u"-account:"_s};
    QTest::newRow("the feed's account by name") << u"account:"_s << true << QStringList {u"account:mona@host"_s};
}

void TestFeedQuery::completions()
{
    QFETCH(QString, token);
    QFETCH(bool, everyField);
    QFETCH(QStringList, offers);
    const QueryFields available = everyField ? kAvailable | QueryField::Draft : QueryFields(QueryField::Repository);
    const auto present = [](QueryField field) {
        if (field == QueryField::Repository)
            return QStringList {u"a/b"_s, u"c/d"_s};
        if (field == QueryField::Reason)
            return QStringList {u"author"_s, u"mention"_s};
        if (field == QueryField::Account)
            return QStringList {u"mona@host"_s};
        return QStringList();
    };
    QCOMPARE(QueryVocabulary::completions(token, available, present), offers);
}

QTEST_GUILESS_MAIN(TestFeedQuery)
#include "tst_feedquery.moc"
