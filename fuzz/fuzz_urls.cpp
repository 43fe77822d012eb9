// The address rules, on one address per input and one of a few configured bases: the
// check that lets an address carry the token (a URL a reply names, a redirect's
// Location, an address the user pastes, the status refresh's rebuilt addresses) and
// the rewrite of a thread's API address into its web page. An address the token may
// go to must, as a server reads it, lie under the REST API base: same scheme, host and
// port, no user information, and a path inside the base's path once percent-encoding,
// backslashes and dot segments are resolved. A web page must lie under the web base.
//
// The first byte picks the bases; the rest is the address.

#include "FuzzSupport.h"
#include "assignments/AssignmentRules.h"
#include "github/GitHubRestClient.h"
#include "github/StatusUrls.h"
#include "github/TokenProvider.h"
#include "notifications/NotificationRules.h"
#include "storage/Environment.h"

#include <array>

using FuzzSupport::require;

namespace {

class NoToken final : public TokenProvider
{
public:
    std::optional<QString> token() override { return std::nullopt; }
    void forgetCachedToken() override { }
};

// Public GitHub, an Enterprise server below a path (the web base holding the API
// base), and the fake server's forms: one base for both, a base with a port and path.
const std::array<GitHubEndpoints, 4> kBases {
    GitHubEndpoints(QStringLiteral("https://api.github.com"), QStringLiteral("https://github.com")),
    GitHubEndpoints(QStringLiteral("https://ghe.example.com/api/v3"), QStringLiteral("https://ghe.example.com")),
    GitHubEndpoints(QStringLiteral("http://127.0.0.1:8080"), QStringLiteral("http://127.0.0.1:8080")),
    GitHubEndpoints(QStringLiteral("http://localhost:3000/api"), QStringLiteral("http://localhost:3000/web")),
};

// A URL as the request line and connection see it, read without QUrl.
struct WireUrl
{
    QByteArray scheme;
    bool hasUserInfo = false;
    QByteArray host;
    int port = -1;
    QByteArray path;
};

int defaultPort(const QByteArray& scheme)
{
    return scheme == "https" ? 443 : scheme == "http" ? 80 : -1;
}

std::optional<WireUrl> parseWire(const QByteArray& text)
{
    const qsizetype colon = text.indexOf(':');
    if (colon <= 0 || text.mid(colon + 1, 2) != "//")
        return std::nullopt;
    WireUrl url;
    url.scheme = text.left(colon).toLower();
    const qsizetype authorityFrom = colon + 3;
    qsizetype authorityTo = authorityFrom;
    while (authorityTo < text.size() && !QByteArray("/?#").contains(text[authorityTo]))
        ++authorityTo;
    QByteArray authority = text.mid(authorityFrom, authorityTo - authorityFrom);
    const qsizetype at = authority.lastIndexOf('@');
    url.hasUserInfo = at >= 0;
    authority = authority.mid(at + 1);
    const qsizetype bracket = authority.lastIndexOf(']');
    const qsizetype portColon = authority.lastIndexOf(':');
    url.port = defaultPort(url.scheme);
    if (portColon > bracket) {
        bool ok = false;
        url.port = authority.mid(portColon + 1).toInt(&ok);
        if (!ok)
            return std::nullopt;
        authority.truncate(portColon);
    }
    url.host = QByteArray::fromPercentEncoding(authority).toLower();
    qsizetype pathTo = authorityTo;
    while (pathTo < text.size() && text[pathTo] != '?' && text[pathTo] != '#')
        ++pathTo;
    url.path = text.mid(authorityTo, pathTo - authorityTo);
    return url;
}

// The path with every "." and ".." segment resolved (RFC 3986, 5.2.4).
QByteArray withoutDotSegments(const QByteArray& path)
{
    QList<QByteArray> kept;
    const QList<QByteArray> segments = path.split('/');
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const QByteArray& segment = segments[i];
        const bool last = i == segments.size() - 1;
        if (segment == "..") {
            if (kept.size() > 1)
                kept.removeLast();
            if (last)
                kept.append(QByteArray());
        } else if (segment == ".") {
            if (last)
                kept.append(QByteArray());
        } else {
            kept.append(segment);
        }
    }
    return kept.join('/');
}

// The path as the most lenient server resolves it: escapes decoded (with `decodeSlashes`
// also %2F and %5C), backslashes taken for slashes, dot segments resolved.
QByteArray resolvedPath(QByteArray path, bool decodeSlashes)
{
    if (!decodeSlashes) {
        path.replace("%2F", "%252F").replace("%2f", "%252F").replace("%5C", "%255C").replace("%5c", "%255C");
    }
    path = QByteArray::fromPercentEncoding(path);
    path.replace('\\', '/');
    return withoutDotSegments(path);
}

bool isUnder(const QUrl& url, const QString& baseText, bool decodeSlashes)
{
    const std::optional<WireUrl> wire = parseWire(url.toEncoded());
    const std::optional<WireUrl> base = parseWire(baseText.toUtf8());
    if (!wire || !base || wire->hasUserInfo || wire->scheme != base->scheme || wire->host != base->host
        || wire->port != base->port)
        return false;
    QByteArray basePath = resolvedPath(base->path, decodeSlashes);
    while (basePath.endsWith('/'))
        basePath.chop(1);
    const QByteArray path = resolvedPath(wire->path, decodeSlashes);
    return basePath.isEmpty() || path == basePath || path.startsWith(QByteArray(basePath + '/'));
}

// Whatever asks the client to send to `text` with the token.
void tokenGoesOnlyUnderApiBase(const GitHubRestClient& client, const QString& text)
{
    if (const std::optional<QUrl> url = client.authorizedUrl(text))
        require(isUnder(*url, client.baseUrl(), true), "the token goes only to addresses under the REST API base");
}

void pastedAddress(const GitHubRestClient& client, const QString& text)
{
    const std::optional<QUrl> api = AssignmentRules::apiURL(text, client.endpoints());
    const std::optional<QUrl> issue = AssignmentRules::issueURL(text, client.endpoints());
    require(api.has_value() == issue.has_value(), "an item has an issue resource exactly when it has an API address");
    for (const std::optional<QUrl>& url : {api, issue}) {
        if (!url)
            continue;
        require(isUnder(*url, client.baseUrl(), true), "an item's API address lies under the REST API base");
        tokenGoesOnlyUnderApiBase(client, url->toString(QUrl::FullyEncoded));
    }
}

void statusAddresses(const GitHubRestClient& client, const QString& text)
{
    const QString repos = client.baseUrl() + QStringLiteral("/repos/");
    for (const std::optional<QString>& url :
        {StatusUrls::checkRunsUrl(text, client.endpoints()), StatusUrls::reviewsUrl(text, client.endpoints())}) {
        if (!url)
            continue;
        require(url->startsWith(repos), "a status address is rebuilt below the REST API's repositories");
        tokenGoesOnlyUnderApiBase(client, *url);
    }
}

void webPages(const GitHubEndpoints& endpoints, const QString& text)
{
    const Notification thread(QStringLiteral("1"), Subject(QStringLiteral("A title"), QStringLiteral("Issue"), text),
        Repository(QStringLiteral("owner/name")), QStringLiteral("subscribed"), QStringLiteral("2026-01-01T00:00:00Z"));
    const Notification invitation(QStringLiteral("2"),
        Subject(QStringLiteral("Invitation to join owner/name"), QStringLiteral("RepositoryInvitation"), std::nullopt),
        Repository(text), QStringLiteral("invitation"), QStringLiteral("2026-01-01T00:00:00Z"));
    for (const Notification* notification : {&thread, &invitation}) {
        if (const std::optional<QUrl> url = NotificationRules::webURL(*notification, endpoints))
            require(isUnder(*url, endpoints.webBase(), false), "a thread's web page lies under the web base");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const std::array<std::unique_ptr<GitHubRestClient>, kBases.size()> clients = [] {
        std::array<std::unique_ptr<GitHubRestClient>, kBases.size()> made;
        for (std::size_t i = 0; i < kBases.size(); ++i) {
            Environment environment;
            environment.endpoints = kBases[i];
            environment.makeTokenProvider = [] { return std::make_unique<NoToken>(); };
            made[i] = std::make_unique<GitHubRestClient>(environment);
        }
        return made;
    }();
    const GitHubRestClient& client = *clients[data[0] % kBases.size()];
    const QByteArray bytes = FuzzSupport::bytes(data + 1, size - 1);
    const QString text = QString::fromUtf8(bytes);

    tokenGoesOnlyUnderApiBase(client, text);
    const QUrl page(client.baseUrl() + QStringLiteral("/notifications?all=false&page=2"));
    if (const std::optional<QUrl> redirect = GitHubRestClient::redirectTarget(client.endpoints(), page, bytes))
        require(
            isUnder(*redirect, client.baseUrl(), true), "a redirect carries the token only under the REST API base");
    pastedAddress(client, text);
    statusAddresses(client, text);
    webPages(client.endpoints(), text);
    return 0;
}
