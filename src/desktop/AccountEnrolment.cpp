#include "desktop/AccountEnrolment.h"

#include "desktop/AccountDirectory.h"
#include "github/GitHubAPIService.h"
#include "github/TokenProvider.h"
#include "storage/AccountBook.h"
#include "storage/PreferenceStore.h"
#include "storage/SecureStorage.h"

namespace {

// The token being checked, before it is stored anywhere.
class EnrolledToken final : public TokenProvider
{
public:
    explicit EnrolledToken(QString token)
        : m_token(std::move(token))
    { }
    std::optional<QString> token() override { return m_token; }
    void forgetCachedToken() override { }

private:
    QString m_token;
};

} // namespace

AccountEnrolment::AccountEnrolment(AccountDirectory& directory, ServerAddress server, QString token, QObject* parent)
    : QObject(parent)
    , m_directory(directory)
    , m_server(std::move(server))
    , m_token(std::move(token))
{ }

AccountEnrolment::~AccountEnrolment() = default;

void AccountEnrolment::start()
{
    const Account first = m_directory.book().first();
    if (first.login.isEmpty() && first.endpoints.isSameServer(m_server.endpoints()))
        learnFirstLogin();
    else
        lookUpToken();
}

void AccountEnrolment::learnFirstLogin()
{
    // Without a token, or with one the server refuses, the first account is free to take.
    const Environment& first = m_directory.environmentOf(m_directory.book().first());
    m_firstApi = std::make_unique<GitHubAPIService>(first);
    m_firstLookup = m_firstApi->fetchAuthenticatedUser().subscribe(
        [this, &first](const User& user) {
            m_directory.book().add(user.login, first.endpoints);
            lookUpToken();
        },
        [this](const RequestError&) { lookUpToken(); });
}

void AccountEnrolment::lookUpToken()
{
    // The request goes through the first account's transport, whose cache keeps replies
    // per credential; the token only ever goes to the server's own API base.
    const Environment& first = m_directory.environmentOf(m_directory.book().first());
    ClientEnvironment client = first;
    client.endpoints = m_server.endpoints();
    client.makeTokenProvider = [token = m_token] { return std::make_unique<EnrolledToken>(token); };
    m_api = std::make_unique<GitHubAPIService>(client);
    m_lookup = m_api->fetchAuthenticatedUser().subscribe(
        [this, &first](const User& user) {
            const Account account = m_directory.book().add(user.login, m_server.endpoints());
            const Environment& environment = m_directory.environmentOf(account);
            SecureStorage(environment).saveToken(m_token);
            environment.preferences->flush();
            first.preferences->flush();
            Q_EMIT added(account);
        },
        [this](const RequestError& error) {
            if (error.isUnauthorized())
                Q_EMIT failed(Failure::Refused, error.localizedDescription());
            else if (error.transportError())
                Q_EMIT failed(Failure::NoAnswer, error.localizedDescription());
            else
                Q_EMIT failed(Failure::Other, error.localizedDescription());
        });
}

void AccountEnrolment::cancel()
{
    m_firstLookup.cancel();
    m_lookup.cancel();
}
