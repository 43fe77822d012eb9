#pragma once

#include <QString>

#include <optional>

struct Environment;
class AppEnvironment;
class Console;

// One token line from standard input (without echo on a terminal); none, said on
// `errors`, when the line is empty.
std::optional<QString> readTokenFromStandardInput(Console& errors);

// `tidewhelk --set-token`: reads one token line from standard input (without echo on a
// terminal) and stores it as the user's token. 0 when stored, 1 when the line is empty.
int setTokenFromStandardInput(const Environment& environment, Console& errors);

// `tidewhelk --sign-out`: removes the stored token.
int signOut(const Environment& environment);

// `tidewhelk --accounts`: one line per account on `console`, the first account first:
// "login<TAB>host<TAB>token stored" or "...<TAB>no token"; "-" for a login not known yet.
int printAccounts(AppEnvironment& services, Console& console);
