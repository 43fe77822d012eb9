#pragma once

#include "feeds/QueryClause.h"
#include "feeds/QueryField.h"
#include "storage/Account.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>

// The filter field's text, read once per change and then matched against every row.
// Text without a known qualifier is one piece of title text, spaces included. Once it
// holds one, it is split into qualifiers (`repo:`, `-is:pr`…) and title words, or
// phrases in double quotes. Qualifiers of different fields must all hold; repeated
// ones of a field hold when any does; a negated one must not hold. A token that is no
// usable qualifier stays title text and leaves a hint. `account:` clauses name the
// feed's account, not a record's: a feed asks acceptsAccount() once, and matches()
// leaves them out.
class FeedQuery
{
public:
    // No filter.
    FeedQuery() = default;

    // `available`: the fields the feed's records carry; clauses on the others are
    // dropped with a "not available here: …" hint.
    static FeedQuery parse(const QString& text, QueryFields available);

    bool isEmpty() const { return m_clauses.isEmpty() && m_titleTexts.isEmpty(); }
    const QList<QueryClause>& clauses() const { return m_clauses; }
    // The fields the clauses look at.
    QueryFields fields() const { return m_fieldSet; }
    // Each must be contained in the title.
    const QStringList& titleTexts() const { return m_titleTexts; }
    // Short notes on the tokens that were not taken as qualifiers, in text order.
    const QStringList& hints() const { return m_hints; }

    // Containment ignoring case, the same rule with or without qualifiers.
    bool titleMatches(const QString& title) const;

    // Whether the `account:` clauses let the rows of a feed of `account` through: one of
    // them names it by its login, its host or "login@host" (case does not matter), and
    // no negated one does.
    bool acceptsAccount(const Account& account) const;

    // Whether a record with `title` passes; `holds(clause)` says whether the record
    // has what the clause names, leaving negation to the query.
    template <typename Holds>
    bool matches(const QString& title, const Holds& holds) const
    {
        for (const FieldClauses& field : m_fields) {
            if (field.field == QueryField::Account)
                continue;
            const bool wanted = field.anyOf.isEmpty()
                || std::any_of(field.anyOf.begin(), field.anyOf.end(), [&](const QueryClause& c) { return holds(c); });
            if (!wanted || std::any_of(field.noneOf.begin(), field.noneOf.end(), [&](const QueryClause& c) {
                    return holds(c);
                }))
                return false;
        }
        return titleMatches(title);
    }

private:
    // A field's clauses, split by sign.
    struct FieldClauses
    {
        QueryField field;
        QList<QueryClause> anyOf;
        QList<QueryClause> noneOf;
    };

    void addClause(const QueryClause& clause);
    const FieldClauses* clausesOf(QueryField field) const;

    QList<QueryClause> m_clauses;
    QList<FieldClauses> m_fields;
    QueryFields m_fieldSet;
    QStringList m_titleTexts;
    QStringList m_hints;
};
