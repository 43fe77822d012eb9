#pragma once

#include "storage/Account.h"
#include "storage/Environment.h"

#include <QList>

class AccountBook;

// What the window's sessions and the enrolment of accounts need of the application: the
// accounts and their book, each one's environment, the sign-in client of each server, and
// a way to let an account go for good.
class AccountDirectory
{
public:
    virtual ~AccountDirectory() = default;

    // The first account, then the further ones in the order they were added.
    virtual QList<Account> accounts() const = 0;
    // Where the accounts are kept and added.
    virtual AccountBook& book() = 0;
    // The environment of `account`; it lives as long as the directory.
    virtual const Environment& environmentOf(const Account& account) = 0;
    // Removes a further account with its preference keys, its token and its HTTP cache.
    // Its environment stays valid: work still scheduled for its feeds may use it.
    virtual void forget(const Account& account) = 0;
    // The OAuth client id of the device flow on `server`; empty when that server has none
    // and only takes a pasted token.
    virtual QString oauthClientIdFor(const GitHubEndpoints& server) const = 0;
};
