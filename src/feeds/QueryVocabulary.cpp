#include "feeds/QueryVocabulary.h"

#include <QList>

#include <algorithm>

namespace QueryVocabulary {

namespace {

using namespace Qt::StringLiterals;

struct Qualifier
{
    QString name;
    QueryField field;
    // The accepted values, lower case; empty when `accepts` decides.
    QStringList values;
    bool (*accepts)(const QString& value) = nullptr;
    // Completion offers the values found in the list rather than `values`.
    bool completesFromList = false;
};

bool isRepositoryName(const QString& value)
{
    const qsizetype slash = value.indexOf(u'/');
    return slash > 0 && slash < value.size() - 1 && value.indexOf(u'/', slash + 1) < 0;
}

bool isOwnerName(const QString& value)
{
    return !value.contains(u'/');
}

// A login, a host or "login@host": any of them may name an account.
bool isAccountName(const QString& value)
{
    return !value.isEmpty();
}

const QList<Qualifier>& qualifiers()
{
    static const QList<Qualifier> table {
        {u"repo"_s, QueryField::Repository, {}, &isRepositoryName, true},
        {u"org"_s, QueryField::Organization, {}, &isOwnerName, true},
        // The reasons GitHub gives a notification thread.
        {u"reason"_s, QueryField::Reason,
            {u"approval_requested"_s, u"assign"_s, u"author"_s, u"ci_activity"_s, u"comment"_s, u"invitation"_s,
                u"manual"_s, u"member_feature_requested"_s, u"mention"_s, u"review_requested"_s,
                u"security_advisory_credit"_s, u"security_alert"_s, u"state_change"_s, u"subscribed"_s,
                u"team_mention"_s},
            nullptr, true},
        {u"is"_s, QueryField::Kind, {u"pr"_s, u"issue"_s, u"release"_s, u"discussion"_s}},
        {u"is"_s, QueryField::State, {u"open"_s, u"closed"_s, u"merged"_s}},
        {u"is"_s, QueryField::Draft, {u"draft"_s}},
        {u"is"_s, QueryField::Starred, {u"starred"_s}},
        {u"ci"_s, QueryField::CI, {u"passing"_s, u"failed"_s, u"pending"_s}},
        {u"review"_s, QueryField::Review, {u"approved"_s, u"changes_requested"_s, u"commented"_s, u"not_reviewed"_s}},
        {u"account"_s, QueryField::Account, {}, &isAccountName, true},
    };
    return table;
}

bool sharesItsName(const Qualifier& qualifier)
{
    return std::count_if(qualifiers().begin(), qualifiers().end(), [&](const Qualifier& other) {
        return other.name == qualifier.name;
    }) > 1;
}

} // namespace

Reading read(const QString& name, const QString& value, bool negated)
{
    const QString lowerName = name.toLower();
    if (!isQualifier(lowerName))
        return {std::nullopt, u"unknown qualifier: "_s + name};
    for (const Qualifier& qualifier : qualifiers()) {
        if (qualifier.name != lowerName)
            continue;
        if (qualifier.accepts && qualifier.accepts(value))
            return {QueryClause {qualifier.field, value, negated}, {}};
        if (qualifier.values.contains(value.toLower()))
            return {QueryClause {qualifier.field, value.toLower(), negated}, {}};
    }
    return {std::nullopt, u"unknown value: "_s + name + u':' + value};
}

bool isQualifier(const QString& name)
{
    return std::any_of(qualifiers().begin(), qualifiers().end(),
        [&](const Qualifier& qualifier) { return qualifier.name.compare(name, Qt::CaseInsensitive) == 0; });
}

QString qualifierText(const QueryClause& clause)
{
    const auto qualifier = std::find_if(qualifiers().begin(), qualifiers().end(),
        [&](const Qualifier& candidate) { return candidate.field == clause.field; });
    return qualifier->name + u':' + (sharesItsName(*qualifier) ? clause.value : QString());
}

QStringList completions(
    const QString& token, QueryFields available, const std::function<QStringList(QueryField)>& present)
{
    const QString sign = token.startsWith(u'-') ? u"-"_s : QString();
    const QString typed = token.mid(sign.size());
    const qsizetype colon = typed.indexOf(u':');
    QStringList offers;
    for (const Qualifier& qualifier : qualifiers()) {
        if (!available.testFlag(qualifier.field))
            continue;
        if (colon < 0) {
            offers << sign + qualifier.name + u':';
            continue;
        }
        if (qualifier.name.compare(typed.left(colon), Qt::CaseInsensitive) != 0)
            continue;
        const QStringList values = qualifier.completesFromList ? present(qualifier.field) : qualifier.values;
        for (const QString& value : values)
            offers << sign + qualifier.name + u':' + value;
    }
    offers.removeDuplicates();
    offers.removeIf([&](const QString& offer) { return !offer.startsWith(token, Qt::CaseInsensitive); });
    return offers;
}

} // namespace QueryVocabulary
