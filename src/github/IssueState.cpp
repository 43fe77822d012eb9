#include "github/IssueState.h"

#include "github/JsonObjectReader.h"

IssueState IssueState::fromJson(const JsonValueReader& value)
{
    const JsonObjectReader object = value.toObject(QLatin1String("IssueState"));
    QString state = object.string(QLatin1String("state"));
    return IssueState {std::move(state), object.string(QLatin1String("title"))};
}
