#include "DemoSession.h"

#include "DemoScenario.h"
#include "ScenarioLoader.h"
#include "github/Issue.h"
#include "github/Notification.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"
#include "storage/SecureStorage.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Any identifier does: the fake's device flow accepts every client.
const QString kDemoClientId = QStringLiteral("Iv1.tidewhelkdemo000");

// The records of `records` whose ids are listed in `ids`, in the order of `ids`.
template <typename Record, typename Id>
QList<std::shared_ptr<Record>> withIds(const QList<std::shared_ptr<Record>>& records, const QList<Id>& ids)
{
    QList<std::shared_ptr<Record>> result;
    for (const Id& id : ids) {
        for (const std::shared_ptr<Record>& record : records) {
            if (record->id() == id)
                result << record;
        }
    }
    return result;
}

template <typename T>
QList<T> decodedOrEmpty(Decoded<QList<T>> decoded)
{
    auto* records = std::get_if<QList<T>>(&decoded);
    return records ? std::move(*records) : QList<T>();
}

} // namespace

DemoSession::DemoSession(std::unique_ptr<GitHubServer> server)
    : m_server(std::move(server))
    , m_enterpriseServer(std::make_unique<GitHubServer>())
{ }

DemoSession::~DemoSession()
{
    // The controllers' scheduled work goes before the servers and the stores.
    m_services.reset();
}

bool DemoSession::start(QString* error)
{
    // The prefix first: the scenario's links are rewritten to the API base.
    m_enterpriseServer->setApiPrefix(QStringLiteral("/api/v3"));
    if (!m_home.isValid() || !m_server->listen() || !m_enterpriseServer->listen()) {
        *error = QStringLiteral("cannot start the demo's GitHub on 127.0.0.1");
        return false;
    }
    const QString token = serve(*m_server, DemoScenario::directory(), error);
    if (token.isEmpty())
        return false;
    const QString enterpriseToken = serve(*m_enterpriseServer, DemoScenario::enterpriseDirectory(), error);
    if (enterpriseToken.isEmpty())
        return false;

    AppEnvironment::Setup setup;
    setup.preferencesFile = m_home.filePath(QStringLiteral("tidewhelk.ini"));
    setup.httpCacheDirectory = m_home.filePath(QStringLiteral("http"));
    setup.endpoints = GitHubEndpoints(m_server->apiBaseUrl().toString(), m_server->webBaseUrl().toString());
    setup.oauthClientId = kDemoClientId;
    setup.inMemorySecrets = true;
    m_services = std::make_unique<AppEnvironment>(setup);
    addAccount(*m_server, DemoScenario::directory(), token);
    addAccount(*m_enterpriseServer, DemoScenario::enterpriseDirectory(), enterpriseToken);
    return true;
}

QString DemoSession::serve(GitHubServer& server, const QString& directory, QString* error)
{
    if (!ScenarioLoader::load(directory, server, error))
        return {};
    const QString token = ScenarioLoader::token(directory);
    if (token.isEmpty()) {
        *error = directory + QStringLiteral(": no token");
        return {};
    }
    server.setToken(token);
    server.addToken(token, ScenarioLoader::login(directory));
    // Signing in again (after "Delete Token Only") succeeds on the second poll.
    server.queueTokenReply(OAuthReply::pending());
    server.queueTokenReply(OAuthReply::success(token));
    return token;
}

void DemoSession::addAccount(GitHubServer& server, const QString& directory, const QString& token)
{
    // The first account is on the first server: adding its login names it.
    const Account account = m_services->accounts().add(ScenarioLoader::login(directory),
        GitHubEndpoints(server.apiBaseUrl().toString(), server.webBaseUrl().toString()));
    const Environment& environment = m_services->environmentOf(account);
    environment.secrets->set(token, QLatin1String(SecureStorage::kTokenKey), QStringLiteral("Tidewhelk demo token"));

    QFile file(directory + QStringLiteral("/local-state.json"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject state = QJsonDocument::fromJson(file.readAll()).object();
    PersistenceService persistence(environment);

    QJsonArray threads;
    QStringList starredThreads;
    for (const QJsonValue& id : state.value(QLatin1String("starredThreads")).toArray()) {
        starredThreads << id.toString();
        if (const std::optional<QJsonObject> thread = server.notification(id.toString()))
            threads << *thread;
    }
    const QList<NotificationPtr> notifications
        = decodedOrEmpty(Notification::decodeList(QJsonDocument(threads).toJson()));
    persistence.save(withIds(notifications, starredThreads), PreferenceKeys::favoritesKey);

    // Threads the user has read on GitHub itself since the app last listed them: cached
    // here, no longer unread there, so the first sync finds them read elsewhere.
    QJsonArray readOnGitHub;
    for (const QJsonValue& id : state.value(QLatin1String("readOnGitHub")).toArray()) {
        if (const std::optional<QJsonObject> thread = server.notification(id.toString())) {
            readOnGitHub << *thread;
            server.readNotificationOnServer(id.toString());
        }
    }
    persistence.save(decodedOrEmpty(Notification::decodeList(QJsonDocument(readOnGitHub).toJson())),
        PreferenceKeys::notificationsCacheKey);

    // GitHub lists open assigned items only; the demo's closed and merged ones come from a
    // cache, as for a user who has used the app for a while.
    const QList<IssuePtr> issues = decodedOrEmpty(Issue::decodeList(QJsonDocument(server.assignedIssues()).toJson()));
    const auto ids = [&state](const char* key) {
        QList<qint64> result;
        for (const QJsonValue& id : state.value(QLatin1String(key)).toArray())
            result << id.toInteger();
        return result;
    };
    persistence.save(issues, PreferenceKeys::issuesCacheKey);
    persistence.save(withIds(issues, ids("starredIssues")), PreferenceKeys::issueFavoritesKey);
    persistence.save(withIds(issues, ids("archivedIssues")), PreferenceKeys::archivedIssuesKey);
}
