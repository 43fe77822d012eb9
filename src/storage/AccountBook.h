#pragma once

#include "storage/Account.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class Console;
class PreferenceStore;
class SecretStore;

// The user's accounts, kept in the preference store of the first one. The first account
// is always there: its server comes from the environment (GitHubEndpoints), its login
// from accountLogin once known for that server. Further accounts are listed under the key accounts, each
// with a group of the preference file of its own ("account2", "account3"...).
class AccountBook
{
public:
    // What a selector names: the account, or why none.
    struct Selection
    {
        std::optional<Account> account;
        QString problem;
    };

    // A further account's own secret store.
    using SecretsOf = std::function<std::unique_ptr<SecretStore>(const Account&)>;

    // `preferences` is the first account's store; damaged list entries are reported on
    // `console`; `secretsOf` opens the further accounts' secret stores for
    // removeFurtherAccounts().
    AccountBook(
        PreferenceStore& preferences, const GitHubEndpoints& firstServer, Console& console, SecretsOf secretsOf = {});

    // The first account, then the further ones in the order they were added.
    QList<Account> accounts() const;
    Account first() const;

    // The account of `login` on the server of `endpoints`: the first account when it is
    // on that server and its login is that one or still unknown (it learns the login),
    // an account listed already, or a further one added now.
    Account add(const QString& login, const GitHubEndpoints& endpoints);

    // The account "LOGIN@HOST", "HOST" or "LOGIN" names (case does not matter). The
    // problem says when none does or several do, and lists the accounts.
    Selection select(const QString& selector) const;

    // Removes a further account from the list with its preference keys and, from
    // `secrets` (its own store), its token. The first account cannot be removed.
    void remove(const Account& account, SecretStore& secrets);
    // Removes every further account as remove() does, with the stores of `secretsOf`.
    void removeFurtherAccounts();

    // The preference store of a further account: its group of the first one's file.
    std::unique_ptr<PreferenceStore> preferencesOf(const Account& account) const;

private:
    QList<Account> furtherAccounts() const;
    void store(const QList<Account>& further);
    QString unusedGroup(const QList<Account>& further) const;
    QString names() const;

    PreferenceStore& m_preferences;
    GitHubEndpoints m_firstServer;
    Console& m_console;
    SecretsOf m_secretsOf;
};
