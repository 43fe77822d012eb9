#pragma once

#include <QFlags>

// What a filter clause looks at. A feed says which of these its records carry; the
// others are reported and ignored there.
enum class QueryField {
    Repository = 0x001, // repo:owner/name
    Organization = 0x002, // org:owner
    Reason = 0x004, // reason:mention
    Kind = 0x008, // is:pr, is:issue, is:release, is:discussion
    State = 0x010, // is:open, is:closed, is:merged
    Draft = 0x020, // is:draft
    Starred = 0x040, // is:starred
    CI = 0x080, // ci:passing
    Review = 0x100, // review:approved
    Account = 0x200, // account:octocat, the feed's account rather than a record's
};
Q_DECLARE_FLAGS(QueryFields, QueryField)
Q_DECLARE_OPERATORS_FOR_FLAGS(QueryFields)
