#include "views/StatusAppearance.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Name = ColorPalette::Name;

// The tables of reasons, states, CI outcomes and reviews, one row per line of each.
class TestStatusAppearance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reason_data();
    void reason();
    void state_data();
    void state();
    void ci_data();
    void ci();
    void review_data();
    void review();
};

void TestStatusAppearance::reason_data()
{
    QTest::addColumn<std::optional<QString>>("reason");
    QTest::addColumn<QString>("text");
    const QList<std::pair<QString, QString>> table {{u"assign"_s, u"👤"_s}, {u"author"_s, u"✍️"_s},
        {u"comment"_s, u"💬"_s}, {u"invitation"_s, u"📩"_s}, {u"manual"_s, u"🛠️"_s}, {u"mention"_s, u"📣"_s},
        {u"review_requested"_s, u"🔍"_s}, {u"security_alert"_s, u"⚠️"_s}, {u"state_change"_s, u"🔄"_s},
        {u"subscribed"_s, u"🔔"_s}, {u"team_mention"_s, u"👥"_s}};
    for (const auto& [reason, symbol] : table)
        QTest::newRow(qPrintable(reason)) << std::optional(reason) << symbol + u' ' + reason;
    QTest::newRow("anything else") << std::optional(u"ci_activity"_s) << u"❓ ci_activity"_s;
    QTest::newRow("compared exactly") << std::optional(u"Mention"_s) << u"❓ Mention"_s;
    QTest::newRow("absent") << std::optional<QString>() << u"❓ Unknown"_s;
}

void TestStatusAppearance::reason()
{
    QFETCH(std::optional<QString>, reason);
    QFETCH(QString, text);
    QCOMPARE(StatusAppearance::reasonText(reason), text);
}

void TestStatusAppearance::state_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("pullRequest");
    QTest::addColumn<Glyph>("glyph");

    const auto row = [](const char* name, const QString& state, bool pullRequest, const char* symbol, Name color) {
        QTest::newRow(name) << state << pullRequest << Glyph {QLatin1String(symbol), color, 20};
    };
    row("open", u"open"_s, false, "exclamationmark.circle", Name::Green);
    row("open pull request", u"open"_s, true, "arrow.triangle.branch", Name::Green);
    row("closed", u"closed"_s, false, "checkmark.circle", Name::Purple);
    row("closed pull request", u"closed"_s, true, "xmark.circle", Name::Red);
    row("merged", u"merged"_s, false, "arrow.triangle.merge", Name::Purple);
    row("merged pull request", u"merged"_s, true, "arrow.triangle.merge", Name::Purple);
    row("draft", u"draft"_s, true, "pencil.circle", Name::Slate);
    row("resolved", u"resolved"_s, false, "checkmark.circle.fill", Name::Purple);
    row("outdated", u"outdated"_s, false, "clock.circle", Name::Slate);
    row("lower-cased first", u"Closed"_s, false, "checkmark.circle", Name::Purple);
    row("anything else", u"duplicate"_s, false, "exclamationmark.circle", Name::Gray);
    row("anything else, pull request", u"duplicate"_s, true, "exclamationmark.circle", Name::Gray);
}

void TestStatusAppearance::state()
{
    QFETCH(QString, state);
    QFETCH(bool, pullRequest);
    QFETCH(Glyph, glyph);
    QCOMPARE(StatusAppearance::stateGlyph(state, pullRequest), glyph);
}

void TestStatusAppearance::ci_data()
{
    QTest::addColumn<std::optional<QString>>("ci");
    QTest::addColumn<std::optional<Glyph>>("glyph");
    QTest::newRow("passing") << std::optional(u"passing"_s)
                             << std::optional(Glyph {u"checkmark.circle.fill"_s, Name::Green, 20});
    QTest::newRow("failed") << std::optional(u"FAILED"_s)
                            << std::optional(Glyph {u"xmark.circle.fill"_s, Name::Red, 20});
    QTest::newRow("pending") << std::optional(u"pending"_s)
                             << std::optional(Glyph {u"clock.circle.fill"_s, Name::Orange, 20});
    QTest::newRow("none") << std::optional(u"none"_s) << std::optional<Glyph>();
    QTest::newRow("unknown") << std::optional(u"unknown"_s) << std::optional<Glyph>();
    QTest::newRow("absent") << std::optional<QString>() << std::optional<Glyph>();
}

void TestStatusAppearance::ci()
{
    QFETCH(std::optional<QString>, ci);
    QFETCH(std::optional<Glyph>, glyph);
    QCOMPARE(StatusAppearance::ciGlyph(ci), glyph);
}

void TestStatusAppearance::review_data()
{
    QTest::addColumn<std::optional<QString>>("review");
    QTest::addColumn<std::optional<Glyph>>("glyph");
    const auto row = [](const char* name, const QString& review, const char* symbol, Name color) {
        QTest::newRow(name) << std::optional(review) << std::optional(Glyph {QLatin1String(symbol), color, 18});
    };
    row("approved", u"approved"_s, "checkmark.shield.fill", Name::Green);
    row("changes requested", u"changes_requested"_s, "x.circle.fill", Name::Red);
    row("partially approved", u"partially_approved"_s, "checkmark.circle.trianglebadge.exclamationmark", Name::Orange);
    row("commented", u"Commented"_s, "bubble.left.circle.fill", Name::Purple);
    row("not reviewed", u"not_reviewed"_s, "eye.circle", Name::Gray);
    QTest::newRow("anything else") << std::optional(u"dismissed"_s) << std::optional<Glyph>();
    QTest::newRow("absent") << std::optional<QString>() << std::optional<Glyph>();
}

void TestStatusAppearance::review()
{
    QFETCH(std::optional<QString>, review);
    QFETCH(std::optional<Glyph>, glyph);
    QCOMPARE(StatusAppearance::reviewGlyph(review), glyph);
}

QTEST_GUILESS_MAIN(TestStatusAppearance)
#include "tst_statusappearance.moc"
