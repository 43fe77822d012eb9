#include "RestApi.h"

#include "ConditionalRequest.h"
#include "GitHubPayloads.h"
#include "HttpDate.h"
#include "HttpRequest.h"
#include "Pagination.h"

#include <QJsonDocument>

namespace {

const QString kThreadsPath = QStringLiteral("/notifications/threads/");

HttpResponse jsonReply(int status, const QJsonDocument& document)
{
    return HttpResponse::json(status, document.toJson(QJsonDocument::Compact));
}

HttpResponse notFound()
{
    return jsonReply(404, QJsonDocument(GitHubPayloads::error(QStringLiteral("Not Found"))));
}

bool isRead(const HttpRequest& request)
{
    return request.method == "GET" || request.method == "HEAD";
}

} // namespace

void RestApi::setToken(const QString& token)
{
    m_tokens.clear();
    addToken(token);
}

void RestApi::addToken(const QString& token)
{
    if (!token.isEmpty())
        m_tokens.insert(token);
}

void RestApi::addToken(const QString& token, const QString& login)
{
    addToken(token);
    m_logins.insert(token, login);
}

HttpResponse RestApi::respond(const HttpRequest& request, const QString& path, const QUrl& apiBase)
{
    HttpResponse response = answer(request, path, apiBase);
    if (!m_enterpriseVersion.isEmpty())
        response.headers.set("X-GitHub-Enterprise-Version", m_enterpriseVersion.toUtf8());
    return response;
}

HttpResponse RestApi::answer(const HttpRequest& request, const QString& path, const QUrl& apiBase)
{
    if (!isAuthorized(request))
        return jsonReply(401, QJsonDocument(GitHubPayloads::error(QStringLiteral("Bad credentials"))));

    if (m_rateLimit.isExhausted()) {
        HttpResponse refused = jsonReply(403, QJsonDocument(GitHubPayloads::rateLimitExceeded()));
        m_rateLimit.addHeaders(refused);
        return refused;
    }

    Resolved resolved = resolve(request, path, apiBase);
    HttpResponse& response = resolved.response;
    if (isRead(request) && response.status == 200) {
        addValidators(response, resolved.lastModified);
        if (ConditionalRequest::isNotModified(request, response.headers.value("ETag"), resolved.lastModified)) {
            response.status = 304;
            response.body.clear();
            response.headers.remove("Content-Type");
            response.headers.remove("Link");
        }
    }
    if (response.status != 304)
        m_rateLimit.consume();
    m_rateLimit.addHeaders(response);
    response.headers.set("X-GitHub-Media-Type", "github.v3; format=json");
    return response;
}

QString RestApi::tokenOf(const HttpRequest& request)
{
    const QString authorization = QString::fromUtf8(request.header("Authorization")).trimmed();
    const qsizetype space = authorization.indexOf(QLatin1Char(' '));
    if (space < 0)
        return {};
    const QString scheme = authorization.left(space);
    if (scheme.compare(QLatin1String("token"), Qt::CaseInsensitive) != 0
        && scheme.compare(QLatin1String("bearer"), Qt::CaseInsensitive) != 0)
        return {};
    return authorization.mid(space + 1).trimmed();
}

bool RestApi::isAuthorized(const HttpRequest& request) const
{
    return m_tokens.contains(tokenOf(request));
}

RestApi::Resolved RestApi::resolve(const HttpRequest& request, const QString& path, const QUrl& apiBase)
{
    if (path == QLatin1String("/notifications") && isRead(request))
        return notifications(request, path, apiBase);
    if (path.startsWith(kThreadsPath) && !path.mid(kThreadsPath.size()).contains(QLatin1Char('/')))
        return thread(request, path.mid(kThreadsPath.size()));
    if (path == QLatin1String("/issues") && isRead(request))
        return issues(request, path, apiBase);
    if (path == QLatin1String("/user") && isRead(request) && m_logins.contains(tokenOf(request))) {
        const QJsonObject user = GitHubPayloads(apiBase.toString()).user(m_logins.value(tokenOf(request)));
        return {HttpResponse::json(200, QJsonDocument(user).toJson(QJsonDocument::Compact)), {}};
    }
    if (const auto resource = m_scenario.resource(path); resource && isRead(request)) {
        HttpResponse response = HttpResponse::json(resource->status, resource->body);
        return {response, resource->lastModified};
    }
    return {notFound(), {}};
}

RestApi::Resolved RestApi::notifications(const HttpRequest& request, const QString& path, const QUrl& apiBase) const
{
    const bool all = request.queryValue(QStringLiteral("all")) == QLatin1String("true");
    const QJsonArray threads = m_scenario.threads(request.queryValue(QStringLiteral("since")), all);
    Resolved resolved = page(threads, request, path, apiBase, m_scenario.threadsModified());
    // GitHub's advice to pollers of this list, in seconds.
    resolved.response.headers.set("X-Poll-Interval", QByteArray::number(m_pollInterval));
    return resolved;
}

RestApi::Resolved RestApi::thread(const HttpRequest& request, const QString& id)
{
    if (isRead(request)) {
        const auto thread = m_scenario.thread(id);
        if (!thread)
            return {notFound(), {}};
        return {jsonReply(200, QJsonDocument(*thread)), m_scenario.threadsModified()};
    }
    if (request.method == "DELETE") {
        if (!m_scenario.markThreadDone(id))
            return {notFound(), {}};
        // GitHub answers a thread marked done with 204.
        HttpResponse noContent;
        noContent.status = 204;
        return {noContent, {}};
    }
    if (request.method != "PATCH" || !m_scenario.markThreadRead(id))
        return {notFound(), {}};
    // GitHub answers a thread marked read with 205 and an empty text body.
    HttpResponse reset;
    reset.status = 205;
    reset.headers.set("Content-Type", "text/plain;charset=utf-8");
    return {reset, {}};
}

RestApi::Resolved RestApi::issues(const HttpRequest& request, const QString& path, const QUrl& apiBase) const
{
    // The scenario holds only the user's assigned items, which is also what GitHub's
    // default filter ("assigned") selects. Like GitHub, only open items by default,
    // most recently created first.
    const QString state = request.queryValue(QStringLiteral("state"));
    const QString sort = request.queryValue(QStringLiteral("sort"));
    const QJsonArray issues = m_scenario.issues(request.queryValue(QStringLiteral("since")),
        state.isEmpty() ? QStringLiteral("open") : state, sort.isEmpty() ? QStringLiteral("created") : sort,
        request.queryValue(QStringLiteral("direction")) == QLatin1String("asc"));
    return page(issues, request, path, apiBase, m_scenario.issuesModified());
}

RestApi::Resolved RestApi::page(const QJsonArray& all, const HttpRequest& request, const QString& path,
    const QUrl& apiBase, const QDateTime& lastModified) const
{
    QUrl requestUrl = apiBase;
    requestUrl.setPath(apiBase.path() + path);
    requestUrl.setQuery(request.query);
    const Pagination::Page page
        = Pagination::page(all, Pagination::requestedPage(request.queryValue(QStringLiteral("page"))),
            Pagination::requestedPerPage(request.queryValue(QStringLiteral("per_page")), m_pageSize), requestUrl);
    HttpResponse response = jsonReply(200, QJsonDocument(page.items));
    if (!page.linkHeader.isEmpty())
        response.headers.set("Link", page.linkHeader);
    return {response, lastModified};
}

void RestApi::addValidators(HttpResponse& response, const QDateTime& lastModified) const
{
    response.headers.set("Cache-Control", "private, max-age=" + QByteArray::number(m_maxAge));
    response.headers.set("Vary", "Accept, Authorization, Cookie, X-GitHub-OTP");
    response.headers.set("ETag", ConditionalRequest::entityTag(response.body, m_weakEntityTags));
    if (lastModified.isValid())
        response.headers.set("Last-Modified", HttpDate::format(lastModified));
}
