#pragma once

#include "core/Console.h"
#include "core/PrefixedConsole.h"
#include "core/SystemScheduler.h"
#include "desktop/AccountDirectory.h"
#include "http/HttpTransport.h"
#include "storage/AccountBook.h"
#include "storage/Environment.h"
#include "storage/PreferenceStore.h"
#include "storage/SecretStore.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

class WakeWatcher;

// The real collaborators of the process, built once in main() after the application
// object: the system clock and timers, standard output, the shared debug log, the
// user's preference store, the desktop's Secret Service, the first account's HTTP
// transport, the GitHub addresses from the environment, the OAuth client identifier, the
// account book and the watch on sleep and the network. Every mode of the executable runs
// with the Environments it hands out.
//
// Each further account of the AccountBook gets an Environment of its own on the same
// clock, console and log: its group of the preference file, its own Secret Service items,
// its server and an HTTP transport of its own (its cache partition and rate-limit budget)
// over the first one's network manager.
class AppEnvironment : public AccountDirectory
{
public:
    // What the offline demo replaces; the defaults are the user's own.
    struct Setup
    {
        QString preferencesFile = PreferenceStore::defaultFilePath();
        QString httpCacheDirectory = HttpTransport::defaultCacheDirectory();
        std::optional<GitHubEndpoints> endpoints;
        std::optional<QString> oauthClientId;
        // Secrets in memory instead of the desktop's Secret Service.
        bool inMemorySecrets = false;
    };

    AppEnvironment();
    explicit AppEnvironment(const Setup& setup);
    ~AppEnvironment() override;
    AppEnvironment(const AppEnvironment&) = delete;
    AppEnvironment& operator=(const AppEnvironment&) = delete;

    // The first account's environment.
    const Environment& environment() const { return m_environment; }
    // Standard output without an account's name: for what speaks of every account.
    Console& console() { return m_console; }

    AccountBook& accounts() { return *m_accounts; }
    QList<Account> accounts() const override { return m_accounts->accounts(); }
    AccountBook& book() override { return *m_accounts; }
    // The environment of `account`, built at the first ask and kept. With several
    // accounts, each one's console lines start with its name.
    const Environment& environmentOf(const Account& account) override;
    void forget(const Account& account) override;
    // The demo's id on every server; else that of resolveOAuthClientId() for the server.
    QString oauthClientIdFor(const GitHubEndpoints& server) const override;

private:
    std::unique_ptr<SecretStore> secretsOf(const Account& account);
    // Prefixes every account's console lines with its name while there are several.
    void nameConsoles();

    // A further account's stores and transport.
    struct FurtherAccount
    {
        std::unique_ptr<PreferenceStore> preferences;
        std::unique_ptr<SecretStore> secrets;
        std::unique_ptr<HttpTransport> http;
        std::unique_ptr<PrefixedConsole> console;
        Account account;
        Environment environment;
    };

    Setup m_setup;
    SystemScheduler m_scheduler;
    StdoutConsole m_console;
    PrefixedConsole m_firstConsole {m_console};
    PreferenceStore m_preferences;
    HttpTransport m_http;
    std::unique_ptr<SecretStore> m_secrets;
    std::unique_ptr<WakeWatcher> m_wake;
    Environment m_environment;
    std::unique_ptr<AccountBook> m_accounts;
    // By group; destroyed before the services above.
    std::map<QString, std::unique_ptr<FurtherAccount>> m_further;
    // Accounts forgotten while the process runs: their feeds' late work may still use them.
    std::vector<std::unique_ptr<FurtherAccount>> m_forgotten;
};
