#pragma once

struct Environment;
class Console;

// `tidewhelk --set-token`: reads one token line from standard input (without echo on a
// terminal) and stores it as the user's token. 0 when stored, 1 when the line is empty.
int setTokenFromStandardInput(const Environment& environment, Console& errors);

// `tidewhelk --sign-out`: removes the stored token.
int signOut(const Environment& environment);
