#include "TestAccountDirectory.h"

#include "signin/OAuthClientId.h"
#include "storage/SecureStorage.h"

#include <QDir>

TestAccountDirectory::TestAccountDirectory(GitHubTestEnvironment& world)
    : m_world(world)
    , m_book(std::make_unique<AccountBook>(
          *world.environment().preferences, world.environment().endpoints, world.console()))
{
    world.environment().accounts = m_book.get();
}

TestAccountDirectory::~TestAccountDirectory()
{
    m_world.scheduler().clear();
    for (const auto& [group, further] : m_further)
        SecureStorage(further->environment).deleteToken();
    m_world.environment().accounts = nullptr;
}

Account TestAccountDirectory::addAccount(const QString& login, const QString& token, const QString& apiPrefix)
{
    auto server = std::make_unique<FakeGitHub>();
    if (!server->listen())
        qFatal("a further fake GitHub cannot listen on 127.0.0.1");
    server->setApiPrefix(apiPrefix);
    server->addToken(token, login);
    const Account account
        = m_book->add(login, GitHubEndpoints(server->apiBaseUrl().toString(), server->webBaseUrl().toString()));
    const Environment& environment = environmentOf(account);
    m_further.at(account.group)->server = std::move(server);
    SecureStorage(environment).saveToken(token);
    m_world.console().clear();
    return account;
}

FakeGitHub& TestAccountDirectory::serverOf(const Account& account)
{
    return *m_further.at(account.group)->server;
}

const Environment& TestAccountDirectory::environmentOf(const Account& account)
{
    if (account.isFirst())
        return m_world.environment();
    std::unique_ptr<Further>& further = m_further[account.group];
    if (!further) {
        further = std::make_unique<Further>();
        further->preferences = m_book->preferencesOf(account);
        further->secrets = std::make_unique<Keychain>(QLatin1String(SecureStorage::kServiceName), m_world.console(),
            Keychain::Owner {account.host(), account.login});
        further->http = std::make_unique<HttpTransport>(m_world.scheduler(), m_world.logger(),
            HttpTransport::defaultCacheDirectory() + u'/' + account.group, m_world.http());
        further->environment = m_world.environment();
        further->environment.preferences = further->preferences.get();
        further->environment.secrets = further->secrets.get();
        further->environment.http = further->http.get();
        further->environment.endpoints = account.endpoints;
        further->environment.oauthClientId = oauthClientIdFor(account.endpoints);
        further->environment.makeTokenProvider = SecureStorage::providerFor(further->environment);
    }
    return further->environment;
}

void TestAccountDirectory::forget(const Account& account)
{
    if (account.isFirst())
        return;
    environmentOf(account);
    auto entry = m_further.extract(account.group);
    entry.mapped()->preferences->discardWrites();
    m_book->remove(account, *entry.mapped()->secrets);
    QDir(HttpTransport::defaultCacheDirectory() + u'/' + account.group).removeRecursively();
    m_forgotten.push_back(std::move(entry.mapped()));
}

QString TestAccountDirectory::oauthClientIdFor(const GitHubEndpoints& server) const
{
    QProcessEnvironment variables;
    variables.insert(QStringLiteral("TIDEWHELK_CLIENT_IDS"), m_clientIds);
    return resolveOAuthClientId(ServerAddress::hostOf(server), ServerAddress::hostOf(m_world.environment().endpoints),
        m_world.environment().oauthClientId, variables);
}
