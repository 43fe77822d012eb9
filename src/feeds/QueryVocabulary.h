#pragma once

#include "feeds/QueryClause.h"
#include "feeds/QueryField.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The qualifiers a filter query knows (`repo:`, `org:`, `reason:`, `is:`, `ci:`,
// `review:`, `account:`), their values, and the completions offered while one is typed. A new
// qualifier is one more row in its table and one more QueryField.
namespace QueryVocabulary {

// What `name:value` stands for: a clause, or the short reason it is none
// ("unknown qualifier: foo", "unknown value: ci:green").
struct Reading
{
    std::optional<QueryClause> clause;
    QString problem;
};
Reading read(const QString& name, const QString& value, bool negated);

// Whether `name` is a qualifier's name, whatever the value.
bool isQualifier(const QString& name);

// How the user names the clause's qualifier in a hint: "reason:", or "is:draft" for a
// value of `is:`, whose values look at different things.
QString qualifierText(const QueryClause& clause);

// The tokens that complete `token` (a query token being typed, negated or not): the
// qualifiers' names while it has no colon, then that qualifier's values. For `repo:`,
// `org:`, `reason:` and `account:` the values are those `present` finds in the list.
QStringList completions(
    const QString& token, QueryFields available, const std::function<QStringList(QueryField)>& present);

} // namespace QueryVocabulary
