#include "views/StatusAppearance.h"

#include "github/Notification.h"

#include <QCoreApplication>

#include <array>

namespace {

using Name = ColorPalette::Name;

struct Reason
{
    const char* reason;
    const char16_t* symbol;
};

constexpr std::array kReasons {
    Reason {"assign", u"👤"},
    Reason {"author", u"✍️"},
    Reason {"comment", u"💬"},
    Reason {"invitation", u"📩"},
    Reason {"manual", u"🛠️"},
    Reason {"mention", u"📣"},
    Reason {"review_requested", u"🔍"},
    Reason {"security_alert", u"⚠️"},
    Reason {"state_change", u"🔄"},
    Reason {"subscribed", u"🔔"},
    Reason {"team_mention", u"👥"},
};
constexpr const char16_t* kUnknownReason = u"❓";

struct State
{
    const char* state;
    const char* symbol;
    const char* pullRequestSymbol;
    Name color;
    Name pullRequestColor;
};

constexpr std::array kStates {
    State {"open", "exclamationmark.circle", "arrow.triangle.branch", Name::Green, Name::Green},
    State {"closed", "checkmark.circle", "xmark.circle", Name::Purple, Name::Red},
    State {"merged", "arrow.triangle.merge", "arrow.triangle.merge", Name::Purple, Name::Purple},
    State {"draft", "pencil.circle", "pencil.circle", Name::Slate, Name::Slate},
    State {"resolved", "checkmark.circle.fill", "checkmark.circle.fill", Name::Purple, Name::Purple},
    State {"outdated", "clock.circle", "clock.circle", Name::Slate, Name::Slate},
};
constexpr State kOtherState {"", "exclamationmark.circle", "exclamationmark.circle", Name::Gray, Name::Gray};

struct Word
{
    const char* word;
    const char* symbol;
    Name color;
};

constexpr std::array kCi {
    Word {"passing", "checkmark.circle.fill", Name::Green},
    Word {"failed", "xmark.circle.fill", Name::Red},
    Word {"pending", "clock.circle.fill", Name::Orange},
};

constexpr std::array kReviews {
    Word {"approved", "checkmark.shield.fill", Name::Green},
    Word {"changes_requested", "x.circle.fill", Name::Red},
    Word {"partially_approved", "checkmark.circle.trianglebadge.exclamationmark", Name::Orange},
    Word {"commented", "bubble.left.circle.fill", Name::Purple},
    Word {"not_reviewed", "eye.circle", Name::Gray},
};

constexpr int kStateSize = 20;
constexpr int kCiSize = 20;
constexpr int kReviewSize = 18;

template <typename Table>
std::optional<Glyph> lookUp(const Table& table, const std::optional<QString>& word, int size)
{
    if (!word)
        return std::nullopt;
    const QString lower = word->toLower();
    for (const Word& entry : table) {
        if (lower == QLatin1String(entry.word))
            return Glyph {QLatin1String(entry.symbol), entry.color, size};
    }
    return std::nullopt;
}

bool isPullRequest(const Notification& notification)
{
    return notification.subject().type() == u"PullRequest";
}

} // namespace

namespace StatusAppearance {

QString reasonSymbol(const std::optional<QString>& reason)
{
    for (const Reason& entry : kReasons) {
        if (reason == QLatin1String(entry.reason))
            return QString::fromUtf16(entry.symbol);
    }
    return QString::fromUtf16(kUnknownReason);
}

QString reasonText(const std::optional<QString>& reason)
{
    return reasonSymbol(reason) + u' ' + reason.value_or(QCoreApplication::translate("StatusAppearance", "Unknown"));
}

Glyph stateGlyph(const QString& state, bool pullRequest)
{
    const QString lower = state.toLower();
    const State* found = &kOtherState;
    for (const State& entry : kStates) {
        if (lower == QLatin1String(entry.state))
            found = &entry;
    }
    return pullRequest ? Glyph {QLatin1String(found->pullRequestSymbol), found->pullRequestColor, kStateSize}
                       : Glyph {QLatin1String(found->symbol), found->color, kStateSize};
}

std::optional<Glyph> ciGlyph(const std::optional<QString>& ci)
{
    return lookUp(kCi, ci, kCiSize);
}

std::optional<Glyph> reviewGlyph(const std::optional<QString>& review)
{
    return lookUp(kReviews, review, kReviewSize);
}

QList<Glyph> notificationGlyphs(const Notification& notification)
{
    const Subject& subject = notification.subject();
    if (!subject.state())
        return {};
    // Threads use the table's first column, pull requests included.
    QList<Glyph> glyphs {stateGlyph(*subject.state(), false)};
    if (isPullRequest(notification)) {
        if (const std::optional<Glyph> ci = ciGlyph(subject.ciStatus()))
            glyphs << *ci;
        if (const std::optional<Glyph> review = reviewGlyph(subject.reviewStatus()))
            glyphs << *review;
    }
    return glyphs;
}

QString notificationStatusWords(const Notification& notification)
{
    const Subject& subject = notification.subject();
    if (!subject.state())
        return QCoreApplication::translate("StatusAppearance", "no state yet");
    QStringList words {*subject.state()};
    if (isPullRequest(notification)) {
        if (ciGlyph(subject.ciStatus()))
            words << QCoreApplication::translate("StatusAppearance", "CI %1").arg(*subject.ciStatus());
        if (reviewGlyph(subject.reviewStatus()))
            words << QString(*subject.reviewStatus()).replace(u'_', u' ');
    }
    return words.join(QStringLiteral(", "));
}

} // namespace StatusAppearance
