#include "feeds/FeedQuery.h"

#include "feeds/QueryVocabulary.h"

#include <optional>

namespace {

using namespace Qt::StringLiterals;

struct Token
{
    QString text;
    // A token with a double quote anywhere is a phrase, never a qualifier.
    bool quoted = false;
};

// Splits at white space outside double quotes; the quotes themselves are dropped, and a
// quote left open runs to the end.
QList<Token> tokens(const QString& text)
{
    QList<Token> found;
    Token current;
    bool inQuotes = false;
    bool started = false;
    for (const QChar c : text) {
        if (c == u'"') {
            inQuotes = !inQuotes;
            current.quoted = true;
            started = true;
        } else if (c.isSpace() && !inQuotes) {
            if (started)
                found << current;
            current = {};
            started = false;
        } else {
            current.text += c;
            started = true;
        }
    }
    if (started)
        found << current;
    return found;
}

struct Qualified
{
    QString name;
    QString value;
    bool negated = false;
};

// `name:value` or `-name:value`; the value may be still to come.
std::optional<Qualified> qualified(const Token& token)
{
    if (token.quoted)
        return std::nullopt;
    const bool negated = token.text.startsWith(u'-');
    const QString body = token.text.mid(negated ? 1 : 0);
    const qsizetype colon = body.indexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    return Qualified {body.left(colon), body.mid(colon + 1), negated};
}

bool hasKnownQualifier(const QList<Token>& tokens)
{
    return std::any_of(tokens.begin(), tokens.end(), [](const Token& token) {
        const std::optional<Qualified> candidate = qualified(token);
        return candidate && QueryVocabulary::isQualifier(candidate->name);
    });
}

bool namesAccount(const QueryClause& clause, const Account& account)
{
    const auto same = [&](const QString& name) { return name.compare(clause.value, Qt::CaseInsensitive) == 0; };
    return (!account.login.isEmpty() && same(account.login)) || same(account.host()) || same(account.name());
}

} // namespace

FeedQuery FeedQuery::parse(const QString& text, QueryFields available)
{
    FeedQuery query;
    const QList<Token> parts = tokens(text);
    // Without a known qualifier the field keeps its plain meaning: the whole text,
    // spaces and quotes included, is looked for in the title.
    if (!hasKnownQualifier(parts)) {
        if (!text.isEmpty())
            query.m_titleTexts << text;
        for (const Token& token : parts) {
            const std::optional<Qualified> candidate = qualified(token);
            if (candidate && !candidate->value.isEmpty())
                query.m_hints << QueryVocabulary::read(candidate->name, candidate->value, candidate->negated).problem;
        }
        query.m_hints.removeDuplicates();
        return query;
    }
    for (const Token& token : parts) {
        const std::optional<Qualified> candidate = qualified(token);
        // A known qualifier still without its value is being typed: it leaves the rows
        // as they are until it has one. "fix:" is a word.
        if (candidate && candidate->value.isEmpty() && QueryVocabulary::isQualifier(candidate->name))
            continue;
        if (!candidate || candidate->value.isEmpty()) {
            if (!token.text.isEmpty())
                query.m_titleTexts << token.text;
            continue;
        }
        const QueryVocabulary::Reading reading
            = QueryVocabulary::read(candidate->name, candidate->value, candidate->negated);
        if (!reading.clause) {
            query.m_titleTexts << token.text;
            query.m_hints << reading.problem;
        } else if (!available.testFlag(reading.clause->field)) {
            query.m_hints << u"not available here: "_s + QueryVocabulary::qualifierText(*reading.clause);
        } else {
            query.addClause(*reading.clause);
        }
    }
    query.m_hints.removeDuplicates();
    return query;
}

bool FeedQuery::titleMatches(const QString& title) const
{
    return std::all_of(m_titleTexts.begin(), m_titleTexts.end(),
        [&](const QString& text) { return title.contains(text, Qt::CaseInsensitive); });
}

bool FeedQuery::acceptsAccount(const Account& account) const
{
    const FieldClauses* clauses = clausesOf(QueryField::Account);
    if (!clauses)
        return true;
    const auto named = [&](const QueryClause& clause) { return namesAccount(clause, account); };
    return (clauses->anyOf.isEmpty() || std::any_of(clauses->anyOf.begin(), clauses->anyOf.end(), named))
        && std::none_of(clauses->noneOf.begin(), clauses->noneOf.end(), named);
}

const FeedQuery::FieldClauses* FeedQuery::clausesOf(QueryField field) const
{
    const auto found = std::find_if(
        m_fields.begin(), m_fields.end(), [&](const FieldClauses& candidate) { return candidate.field == field; });
    return found == m_fields.end() ? nullptr : &*found;
}

void FeedQuery::addClause(const QueryClause& clause)
{
    m_clauses << clause;
    m_fieldSet |= clause.field;
    auto field = std::find_if(m_fields.begin(), m_fields.end(),
        [&](const FieldClauses& candidate) { return candidate.field == clause.field; });
    if (field == m_fields.end())
        field = m_fields.insert(m_fields.end(), FieldClauses {clause.field, {}, {}});
    (clause.negated ? field->noneOf : field->anyOf) << clause;
}
