#include "GitHubPayloads.h"

#include <QUrl>

#include <initializer_list>
#include <utility>

namespace {

QJsonValue nullable(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

// GitHub's legacy global node ids: base64 of "0<length of type>:<type><id>".
QString nodeId(const QString& type, qint64 id)
{
    const QString plain
        = QLatin1Char('0') + QString::number(type.size()) + QLatin1Char(':') + type + QString::number(id);
    return QString::fromLatin1(plain.toUtf8().toBase64());
}

QString orElse(const QString& value, const QString& fallback)
{
    return value.isEmpty() ? fallback : value;
}

QString repositoryName(const QString& fullName)
{
    return fullName.section(QLatin1Char('/'), 1);
}

} // namespace

GitHubPayloads::GitHubPayloads(const QString& apiBase, const QString& webBase)
    : m_apiBase(apiBase)
    , m_webBase(webBase)
{ }

qint64 GitHubPayloads::stableId(const QString& name)
{
    quint64 hash = 1469598103934665603ULL; // FNV-1a
    for (const QChar c : name) {
        hash ^= c.unicode();
        hash *= 1099511628211ULL;
    }
    return static_cast<qint64>(hash % 900000000ULL) + 100000000;
}

QJsonObject GitHubPayloads::user(const QString& login) const
{
    const qint64 id = stableId(login);
    const QString url = api(QStringLiteral("/users/") + login);
    return {
        {QStringLiteral("login"), login},
        {QStringLiteral("id"), id},
        {QStringLiteral("node_id"), nodeId(QStringLiteral("User"), id)},
        {QStringLiteral("avatar_url"), QStringLiteral("https://avatars.githubusercontent.com/u/%1?v=4").arg(id)},
        {QStringLiteral("gravatar_id"), QString()},
        {QStringLiteral("url"), url},
        {QStringLiteral("html_url"), QString(web(QLatin1Char('/') + login))},
        {QStringLiteral("followers_url"), QString(url + QStringLiteral("/followers"))},
        {QStringLiteral("following_url"), QString(url + QStringLiteral("/following{/other_user}"))},
        {QStringLiteral("gists_url"), QString(url + QStringLiteral("/gists{/gist_id}"))},
        {QStringLiteral("starred_url"), QString(url + QStringLiteral("/starred{/owner}{/repo}"))},
        {QStringLiteral("subscriptions_url"), QString(url + QStringLiteral("/subscriptions"))},
        {QStringLiteral("organizations_url"), QString(url + QStringLiteral("/orgs"))},
        {QStringLiteral("repos_url"), QString(url + QStringLiteral("/repos"))},
        {QStringLiteral("events_url"), QString(url + QStringLiteral("/events{/privacy}"))},
        {QStringLiteral("received_events_url"), QString(url + QStringLiteral("/received_events"))},
        {QStringLiteral("type"), QStringLiteral("User")},
        {QStringLiteral("site_admin"), false},
    };
}

QJsonObject GitHubPayloads::repository(const QString& fullName) const
{
    const qint64 id = stableId(fullName);
    const QString url = api(QStringLiteral("/repos/") + fullName);
    QJsonObject repository {
        {QStringLiteral("id"), id},
        {QStringLiteral("node_id"), nodeId(QStringLiteral("Repository"), id)},
        {QStringLiteral("name"), repositoryName(fullName)},
        {QStringLiteral("full_name"), fullName},
        {QStringLiteral("owner"), user(fullName.section(QLatin1Char('/'), 0, 0))},
        {QStringLiteral("private"), false},
        {QStringLiteral("html_url"), QString(web(QLatin1Char('/') + fullName))},
        {QStringLiteral("description"), QJsonValue::Null},
        {QStringLiteral("fork"), false},
        {QStringLiteral("url"), url},
    };
    // The URL templates every repository object carries, relative to its API URL.
    static const std::initializer_list<std::pair<const char*, const char*>> templates {
        {"archive_url", "/{archive_format}{/ref}"},
        {"assignees_url", "/assignees{/user}"},
        {"blobs_url", "/git/blobs{/sha}"},
        {"branches_url", "/branches{/branch}"},
        {"collaborators_url", "/collaborators{/collaborator}"},
        {"comments_url", "/comments{/number}"},
        {"commits_url", "/commits{/sha}"},
        {"compare_url", "/compare/{base}...{head}"},
        {"contents_url", "/contents/{+path}"},
        {"contributors_url", "/contributors"},
        {"deployments_url", "/deployments"},
        {"downloads_url", "/downloads"},
        {"events_url", "/events"},
        {"forks_url", "/forks"},
        {"git_commits_url", "/git/commits{/sha}"},
        {"git_refs_url", "/git/refs{/sha}"},
        {"git_tags_url", "/git/tags{/sha}"},
        {"hooks_url", "/hooks"},
        {"issue_comment_url", "/issues/comments{/number}"},
        {"issue_events_url", "/issues/events{/number}"},
        {"issues_url", "/issues{/number}"},
        {"keys_url", "/keys{/key_id}"},
        {"labels_url", "/labels{/name}"},
        {"languages_url", "/languages"},
        {"merges_url", "/merges"},
        {"milestones_url", "/milestones{/number}"},
        {"notifications_url", "/notifications{?since,all,participating}"},
        {"pulls_url", "/pulls{/number}"},
        {"releases_url", "/releases{/id}"},
        {"stargazers_url", "/stargazers"},
        {"statuses_url", "/statuses/{sha}"},
        {"subscribers_url", "/subscribers"},
        {"subscription_url", "/subscription"},
        {"tags_url", "/tags"},
        {"teams_url", "/teams"},
        {"trees_url", "/git/trees{/sha}"},
    };
    for (const auto& [key, suffix] : templates)
        repository.insert(QLatin1String(key), QString(url + QLatin1String(suffix)));
    const QString host = QUrl(m_webBase).host();
    repository.insert(QStringLiteral("git_url"),
        QString(QStringLiteral("git://") + host + QLatin1Char('/') + fullName + QStringLiteral(".git")));
    repository.insert(QStringLiteral("ssh_url"),
        QString(QStringLiteral("git@") + host + QLatin1Char(':') + fullName + QStringLiteral(".git")));
    return repository;
}

QJsonObject GitHubPayloads::thread(const Thread& given) const
{
    const QString repo = QStringLiteral("/repos/") + given.repository;
    QString subjectUrl;
    if (given.type == QLatin1String("PullRequest"))
        subjectUrl = api(repo + QStringLiteral("/pulls/%1").arg(given.number));
    else if (given.type == QLatin1String("Issue"))
        subjectUrl = api(repo + QStringLiteral("/issues/%1").arg(given.number));
    else if (given.type == QLatin1String("Discussion"))
        subjectUrl = api(repo + QStringLiteral("/discussions/%1").arg(given.number));
    else if (given.type == QLatin1String("Release"))
        subjectUrl = api(repo + QStringLiteral("/releases/%1").arg(given.number));
    if (given.nullSubjectUrl)
        subjectUrl.clear();

    const QString url = api(QStringLiteral("/notifications/threads/") + given.id);
    return {
        {QStringLiteral("id"), given.id},
        {QStringLiteral("repository"), repository(given.repository)},
        {QStringLiteral("subject"),
            QJsonObject {
                {QStringLiteral("title"), given.title},
                {QStringLiteral("url"), nullable(subjectUrl)},
                {QStringLiteral("latest_comment_url"), nullable(subjectUrl)},
                {QStringLiteral("type"), given.type},
            }},
        {QStringLiteral("reason"), given.reason},
        {QStringLiteral("unread"), given.unread},
        {QStringLiteral("updated_at"), given.updatedAt},
        {QStringLiteral("last_read_at"), nullable(given.lastReadAt)},
        {QStringLiteral("url"), url},
        {QStringLiteral("subscription_url"), QString(url + QStringLiteral("/subscription"))},
    };
}

QJsonObject GitHubPayloads::issue(const Issue& given) const
{
    const QString repo = QStringLiteral("/repos/") + given.repository;
    const QString url = api(repo + QStringLiteral("/issues/%1").arg(given.number));
    const bool closed = given.state == QLatin1String("closed");
    const QString kind = given.pullRequest ? QStringLiteral("/pull/") : QStringLiteral("/issues/");
    QJsonObject issue {
        {QStringLiteral("id"), given.id},
        {QStringLiteral("node_id"), nodeId(QStringLiteral("Issue"), given.id)},
        {QStringLiteral("url"), url},
        {QStringLiteral("repository_url"), api(repo)},
        {QStringLiteral("labels_url"), QString(url + QStringLiteral("/labels{/name}"))},
        {QStringLiteral("comments_url"), QString(url + QStringLiteral("/comments"))},
        {QStringLiteral("events_url"), QString(url + QStringLiteral("/events"))},
        {QStringLiteral("html_url"),
            QString(web(QLatin1Char('/') + given.repository + kind + QString::number(given.number)))},
        {QStringLiteral("number"), given.number},
        {QStringLiteral("state"), given.state},
        {QStringLiteral("state_reason"), closed ? QJsonValue(QStringLiteral("completed")) : QJsonValue::Null},
        {QStringLiteral("title"), given.title},
        {QStringLiteral("body"), QJsonValue::Null},
        {QStringLiteral("user"), user(given.author)},
        {QStringLiteral("pinned_comment"), QJsonValue::Null},
        {QStringLiteral("labels"), QJsonArray()},
        {QStringLiteral("assignee"), user(given.assignee)},
        {QStringLiteral("assignees"), QJsonArray {user(given.assignee)}},
        {QStringLiteral("milestone"), QJsonValue::Null},
        {QStringLiteral("locked"), false},
        {QStringLiteral("active_lock_reason"), QJsonValue::Null},
        {QStringLiteral("comments"), 0},
        {QStringLiteral("closed_at"),
            closed ? QJsonValue(orElse(given.closedAt, given.updatedAt)) : nullable(given.closedAt)},
        {QStringLiteral("created_at"), orElse(given.createdAt, given.updatedAt)},
        {QStringLiteral("updated_at"), given.updatedAt},
        {QStringLiteral("closed_by"), QJsonValue::Null},
        {QStringLiteral("author_association"), QStringLiteral("OWNER")},
        {QStringLiteral("performed_via_github_app"), QJsonValue::Null},
        {QStringLiteral("repository"), repository(given.repository)},
    };
    if (given.pullRequest) {
        const QString html = web(QLatin1Char('/') + given.repository + QStringLiteral("/pull/%1").arg(given.number));
        issue.insert(QStringLiteral("pull_request"),
            QJsonObject {
                {QStringLiteral("url"), QString(api(repo + QStringLiteral("/pulls/%1").arg(given.number)))},
                {QStringLiteral("html_url"), html},
                {QStringLiteral("diff_url"), QString(html + QStringLiteral(".diff"))},
                {QStringLiteral("patch_url"), QString(html + QStringLiteral(".patch"))},
                {QStringLiteral("merged_at"), nullable(given.mergedAt)},
            });
    }
    return issue;
}

QJsonObject GitHubPayloads::pullRequest(const PullRequest& given) const
{
    const QString repo = QStringLiteral("/repos/") + given.repository;
    const QString url = api(repo + QStringLiteral("/pulls/%1").arg(given.number));
    const QString issueUrl = api(repo + QStringLiteral("/issues/%1").arg(given.number));
    const QString html = web(QLatin1Char('/') + given.repository + QStringLiteral("/pull/%1").arg(given.number));
    const bool closed = given.state == QLatin1String("closed") || given.merged;
    const QJsonObject owner = user(given.author);
    const auto branch = [&](const QString& ref, const QString& sha) {
        return QJsonObject {
            {QStringLiteral("label"),
                QString(owner.value(QStringLiteral("login")).toString() + QLatin1Char(':') + ref)},
            {QStringLiteral("ref"), ref},
            {QStringLiteral("sha"), sha},
            {QStringLiteral("user"), owner},
            {QStringLiteral("repo"), repository(given.repository)},
        };
    };
    const auto link = [](const QString& href) { return QJsonObject {{QStringLiteral("href"), href}}; };
    return {
        {QStringLiteral("url"), url},
        {QStringLiteral("id"), given.id},
        {QStringLiteral("node_id"), nodeId(QStringLiteral("PullRequest"), given.id)},
        {QStringLiteral("html_url"), html},
        {QStringLiteral("diff_url"), QString(html + QStringLiteral(".diff"))},
        {QStringLiteral("patch_url"), QString(html + QStringLiteral(".patch"))},
        {QStringLiteral("issue_url"), issueUrl},
        {QStringLiteral("commits_url"), QString(url + QStringLiteral("/commits"))},
        {QStringLiteral("review_comments_url"), QString(url + QStringLiteral("/comments"))},
        {QStringLiteral("review_comment_url"), QString(api(repo + QStringLiteral("/pulls/comments{/number}")))},
        {QStringLiteral("comments_url"), QString(issueUrl + QStringLiteral("/comments"))},
        {QStringLiteral("statuses_url"), QString(api(repo + QStringLiteral("/statuses/") + given.headSha))},
        {QStringLiteral("number"), given.number},
        {QStringLiteral("state"), closed ? QStringLiteral("closed") : given.state},
        {QStringLiteral("locked"), false},
        {QStringLiteral("title"), given.title},
        {QStringLiteral("user"), owner},
        {QStringLiteral("body"), QJsonValue::Null},
        {QStringLiteral("labels"), QJsonArray()},
        {QStringLiteral("milestone"), QJsonValue::Null},
        {QStringLiteral("active_lock_reason"), QJsonValue::Null},
        {QStringLiteral("created_at"), orElse(given.createdAt, given.updatedAt)},
        {QStringLiteral("updated_at"), given.updatedAt},
        {QStringLiteral("closed_at"),
            closed ? QJsonValue(orElse(given.closedAt, given.updatedAt)) : nullable(given.closedAt)},
        {QStringLiteral("merged_at"),
            given.merged ? QJsonValue(orElse(given.mergedAt, given.updatedAt)) : nullable(given.mergedAt)},
        {QStringLiteral("merge_commit_sha"), given.merged ? QJsonValue(given.headSha) : QJsonValue::Null},
        {QStringLiteral("assignee"), QJsonValue::Null},
        {QStringLiteral("assignees"), QJsonArray()},
        {QStringLiteral("requested_reviewers"), QJsonArray()},
        {QStringLiteral("requested_teams"), QJsonArray()},
        {QStringLiteral("head"), branch(QStringLiteral("feature-%1").arg(given.number), given.headSha)},
        {QStringLiteral("base"),
            branch(QStringLiteral("main"), QStringLiteral("e5bd3914e2e596debea16f433f57875b5b90bcd6"))},
        {QStringLiteral("_links"),
            QJsonObject {
                {QStringLiteral("self"), link(url)},
                {QStringLiteral("html"), link(html)},
                {QStringLiteral("issue"), link(issueUrl)},
                {QStringLiteral("comments"), link(issueUrl + QStringLiteral("/comments"))},
                {QStringLiteral("review_comments"), link(url + QStringLiteral("/comments"))},
                {QStringLiteral("review_comment"), link(api(repo + QStringLiteral("/pulls/comments{/number}")))},
                {QStringLiteral("commits"), link(url + QStringLiteral("/commits"))},
                {QStringLiteral("statuses"), link(api(repo + QStringLiteral("/statuses/") + given.headSha))},
            }},
        {QStringLiteral("author_association"), QStringLiteral("OWNER")},
        {QStringLiteral("auto_merge"), QJsonValue::Null},
        {QStringLiteral("draft"), given.draft},
        {QStringLiteral("merged"), given.merged},
        {QStringLiteral("mergeable"), given.mergeable},
        {QStringLiteral("rebaseable"), given.mergeable},
        {QStringLiteral("mergeable_state"), given.mergeableState},
        {QStringLiteral("merged_by"),
            (given.merged || !given.mergedBy.isEmpty()) ? QJsonValue(user(orElse(given.mergedBy, given.author)))
                                                        : QJsonValue::Null},
        {QStringLiteral("comments"), 0},
        {QStringLiteral("review_comments"), 0},
        {QStringLiteral("maintainer_can_modify"), false},
        {QStringLiteral("commits"), 1},
        {QStringLiteral("additions"), 10},
        {QStringLiteral("deletions"), 2},
        {QStringLiteral("changed_files"), 1},
    };
}

QJsonObject GitHubPayloads::review(const Review& given) const
{
    const QString pullUrl = api(QStringLiteral("/repos/%1/pulls/%2").arg(given.repository).arg(given.pullNumber));
    const QString html = web(
        QStringLiteral("/%1/pull/%2#pullrequestreview-%3").arg(given.repository).arg(given.pullNumber).arg(given.id));
    const bool pending = given.state == QLatin1String("PENDING");
    return {
        {QStringLiteral("id"), given.id},
        {QStringLiteral("node_id"), nodeId(QStringLiteral("PullRequestReview"), given.id)},
        {QStringLiteral("user"), user(given.user)},
        {QStringLiteral("body"), given.body},
        {QStringLiteral("state"), given.state},
        {QStringLiteral("html_url"), html},
        {QStringLiteral("pull_request_url"), pullUrl},
        {QStringLiteral("_links"),
            QJsonObject {
                {QStringLiteral("html"), QJsonObject {{QStringLiteral("href"), html}}},
                {QStringLiteral("pull_request"), QJsonObject {{QStringLiteral("href"), pullUrl}}},
            }},
        {QStringLiteral("submitted_at"), pending ? QJsonValue(QJsonValue::Null) : nullable(given.submittedAt)},
        {QStringLiteral("commit_id"), given.commitId},
        {QStringLiteral("author_association"), QStringLiteral("COLLABORATOR")},
    };
}

QJsonObject GitHubPayloads::status(const Status& given) const
{
    const QJsonObject creator = user(given.creator);
    return {
        {QStringLiteral("url"), api(QStringLiteral("/repos/%1/statuses/%2").arg(given.repository, given.sha))},
        {QStringLiteral("avatar_url"), creator.value(QStringLiteral("avatar_url"))},
        {QStringLiteral("id"), given.id},
        {QStringLiteral("node_id"), nodeId(QStringLiteral("StatusContext"), given.id)},
        {QStringLiteral("state"), given.state},
        {QStringLiteral("description"), nullable(given.description)},
        {QStringLiteral("target_url"), QStringLiteral("https://ci.example.com/%1").arg(given.id)},
        {QStringLiteral("context"), given.context},
        {QStringLiteral("created_at"), given.createdAt},
        {QStringLiteral("updated_at"), given.createdAt},
        {QStringLiteral("creator"), creator},
    };
}

QJsonObject GitHubPayloads::checkRun(const CheckRun& given) const
{
    const QString url = api(QStringLiteral("/repos/%1/check-runs/%2").arg(given.repository).arg(given.id));
    const bool completed = given.status == QLatin1String("completed");
    QJsonObject app = user(QStringLiteral("github"));
    const qint64 appId = stableId(QStringLiteral("app:github-actions"));
    return {
        {QStringLiteral("id"), given.id},
        {QStringLiteral("head_sha"), given.headSha},
        {QStringLiteral("node_id"), nodeId(QStringLiteral("CheckRun"), given.id)},
        {QStringLiteral("external_id"), QString()},
        {QStringLiteral("url"), url},
        {QStringLiteral("html_url"), web(QStringLiteral("/%1/runs/%2").arg(given.repository).arg(given.id))},
        {QStringLiteral("details_url"), web(QStringLiteral("/%1/runs/%2").arg(given.repository).arg(given.id))},
        {QStringLiteral("status"), given.status},
        {QStringLiteral("conclusion"), nullable(given.conclusion)},
        {QStringLiteral("started_at"), nullable(given.startedAt)},
        {QStringLiteral("completed_at"),
            completed ? QJsonValue(orElse(given.completedAt, given.startedAt)) : nullable(given.completedAt)},
        {QStringLiteral("output"),
            QJsonObject {
                {QStringLiteral("title"), nullable(completed ? given.name : QString())},
                {QStringLiteral("summary"), QJsonValue::Null},
                {QStringLiteral("text"), QJsonValue::Null},
                {QStringLiteral("annotations_count"), 0},
                {QStringLiteral("annotations_url"), QString(url + QStringLiteral("/annotations"))},
            }},
        {QStringLiteral("name"), given.name},
        {QStringLiteral("check_suite"), QJsonObject {{QStringLiteral("id"), stableId(given.headSha)}}},
        {QStringLiteral("app"),
            QJsonObject {
                {QStringLiteral("id"), appId},
                {QStringLiteral("slug"), QStringLiteral("github-actions")},
                {QStringLiteral("node_id"), nodeId(QStringLiteral("Integration"), appId)},
                {QStringLiteral("owner"), app},
                {QStringLiteral("name"), QStringLiteral("GitHub Actions")},
                {QStringLiteral("description"), QString()},
                {QStringLiteral("external_url"), web(QStringLiteral("/features/actions"))},
                {QStringLiteral("html_url"), web(QStringLiteral("/apps/github-actions"))},
                {QStringLiteral("created_at"), QStringLiteral("2018-07-30T09:30:17Z")},
                {QStringLiteral("updated_at"), QStringLiteral("2019-12-10T19:04:12Z")},
            }},
        {QStringLiteral("pull_requests"), QJsonArray()},
    };
}

QJsonObject GitHubPayloads::checkRuns(const QList<QJsonObject>& runs) const
{
    QJsonArray list;
    for (const QJsonObject& run : runs)
        list.append(run);
    return {
        {QStringLiteral("total_count"), list.size()},
        {QStringLiteral("check_runs"), list},
    };
}

QJsonObject GitHubPayloads::discussion(const Discussion& given) const
{
    const QString html = web(QStringLiteral("/%1/discussions/%2").arg(given.repository).arg(given.number));
    return {
        {QStringLiteral("id"), given.id},
        {QStringLiteral("node_id"), nodeId(QStringLiteral("Discussion"), given.id)},
        {QStringLiteral("number"), given.number},
        {QStringLiteral("title"), given.title},
        {QStringLiteral("user"), user(given.author)},
        {QStringLiteral("state"), given.state},
        {QStringLiteral("state_reason"), nullable(given.stateReason)},
        {QStringLiteral("locked"), false},
        {QStringLiteral("comments"), 0},
        {QStringLiteral("created_at"), given.updatedAt},
        {QStringLiteral("updated_at"), given.updatedAt},
        {QStringLiteral("author_association"), QStringLiteral("OWNER")},
        {QStringLiteral("active_lock_reason"), QJsonValue::Null},
        {QStringLiteral("body"), QString()},
        {QStringLiteral("html_url"), html},
        {QStringLiteral("repository_url"), QString(api(QStringLiteral("/repos/") + given.repository))},
        {QStringLiteral("answer_html_url"), QJsonValue::Null},
        {QStringLiteral("answer_chosen_at"), QJsonValue::Null},
        {QStringLiteral("answer_chosen_by"), QJsonValue::Null},
        {QStringLiteral("category"),
            QJsonObject {
                {QStringLiteral("id"), stableId(given.repository + QStringLiteral(":Q&A"))},
                {QStringLiteral("name"), QStringLiteral("Q&A")},
                {QStringLiteral("slug"), QStringLiteral("q-a")},
                {QStringLiteral("emoji"), QStringLiteral(":pray:")},
                {QStringLiteral("is_answerable"), true},
            }},
    };
}

QJsonObject GitHubPayloads::error(const QString& message, const QString& documentationUrl)
{
    return {
        {QStringLiteral("message"), message},
        {QStringLiteral("documentation_url"), documentationUrl},
    };
}

QJsonObject GitHubPayloads::rateLimitExceeded()
{
    return error(QStringLiteral("API rate limit exceeded for xxx.xxx.xxx.xxx. (But here's the good news: "
                                "Authenticated requests get a higher rate limit. Check out the documentation "
                                "for more details.)"),
        QStringLiteral("https://docs.github.com/rest/overview/resources-in-the-rest-api#rate-limiting"));
}
