#pragma once

#include "storage/Account.h"
#include "storage/Environment.h"

#include <QList>

// What the window's sessions need of the application to follow the user's accounts: the
// accounts, each one's environment, and a way to let one go for good.
class AccountDirectory
{
public:
    virtual ~AccountDirectory() = default;

    // The first account, then the further ones in the order they were added.
    virtual QList<Account> accounts() const = 0;
    // The environment of `account`; it lives as long as the directory.
    virtual const Environment& environmentOf(const Account& account) = 0;
    // Removes a further account with its preference keys, its token and its HTTP cache.
    // Its environment stays valid: work still scheduled for its feeds may use it.
    virtual void forget(const Account& account) = 0;
};
