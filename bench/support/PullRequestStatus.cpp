#include "PullRequestStatus.h"

#include "FakeGitHub.h"
#include "GitHubPayloads.h"

#include <QJsonArray>

namespace PullRequestStatus {

QString headSha(int number)
{
    return QStringLiteral("%1").arg(number, 40, 10, QLatin1Char('0'));
}

void serve(FakeGitHub& server, const GitHubPayloads& payloads, const QString& repository, int number, bool merged)
{
    const QString sha = headSha(number);
    const QString repo = QStringLiteral("/repos/") + repository;
    const QString pulls = repo + QStringLiteral("/pulls/%1").arg(number);
    server.setResource(pulls,
        payloads.pullRequest({.id = number,
            .repository = repository,
            .number = number,
            .state = merged ? QStringLiteral("closed") : QStringLiteral("open"),
            .merged = merged,
            .headSha = sha}));
    server.setResource(pulls + QStringLiteral("/reviews"),
        QJsonArray {payloads.review({.repository = repository, .pullNumber = number})});
    server.setResource(repo + QStringLiteral("/statuses/") + sha,
        QJsonArray {payloads.status({.repository = repository, .sha = sha})});
    server.setResource(repo + QStringLiteral("/commits/%1/check-runs").arg(sha),
        payloads.checkRuns({payloads.checkRun({.repository = repository, .headSha = sha})}));
}

} // namespace PullRequestStatus
