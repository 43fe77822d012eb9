#pragma once

#include "GitHubTestEnvironment.h"
#include "desktop/AccountDirectory.h"
#include "storage/AccountBook.h"

#include <map>
#include <memory>

// The user's accounts for tests, wired as the application wires them: the first is the
// world's own account on its fake GitHub; each further one gets a fake GitHub of its own
// (under "/api/v3", as an Enterprise Server serves), its group of the world's preference
// file, its own keyring item and HTTP transport, on the world's clock, console and log.
// Tokens it stored are deleted at the end.
class TestAccountDirectory : public AccountDirectory
{
public:
    explicit TestAccountDirectory(GitHubTestEnvironment& world);
    ~TestAccountDirectory() override;

    // Adds the account `login` on a new fake GitHub that accepts `token`, with the token
    // stored as the account's.
    Account addAccount(
        const QString& login, const QString& token, const QString& apiPrefix = QStringLiteral("/api/v3"));
    FakeGitHub& serverOf(const Account& account);
    // The TIDEWHELK_CLIENT_IDS text the directory's client ids follow.
    void setClientIds(const QString& pairs) { m_clientIds = pairs; }

    QList<Account> accounts() const override { return m_book->accounts(); }
    AccountBook& book() override { return *m_book; }
    const Environment& environmentOf(const Account& account) override;
    void forget(const Account& account) override;
    QString oauthClientIdFor(const GitHubEndpoints& server) const override;

private:
    struct Further
    {
        std::unique_ptr<FakeGitHub> server;
        std::unique_ptr<PreferenceStore> preferences;
        std::unique_ptr<Keychain> secrets;
        std::unique_ptr<HttpTransport> http;
        Environment environment;
    };

    GitHubTestEnvironment& m_world;
    std::unique_ptr<AccountBook> m_book;
    QString m_clientIds;
    std::map<QString, std::unique_ptr<Further>> m_further;
    std::vector<std::unique_ptr<Further>> m_forgotten;
};
