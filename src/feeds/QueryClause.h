#pragma once

#include "feeds/QueryField.h"

#include <QString>

// One qualifier of a filter query, such as `-reason:mention`. Fixed values are kept in
// lower case; repository and organisation names as typed.
struct QueryClause
{
    QueryField field;
    QString value;
    bool negated = false;

    friend bool operator==(const QueryClause&, const QueryClause&) = default;
};
