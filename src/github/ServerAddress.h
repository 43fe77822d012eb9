#pragma once

#include "github/GitHubEndpoints.h"

#include <QString>

#include <optional>

// A GitHub server as the user names it: "github.com", a GitHub Enterprise host
// ("github.example.com", "https://github.example.com", "https://github.example.com/api/v3")
// or a loopback test server ("http://127.0.0.1:8080/api/v3"). It gives the server's two
// bases and the host text that names it to the user and in account selectors.
class ServerAddress
{
public:
    // The server the text names, or none when it is not a server address: empty, with
    // spaces, user information, a query or a fragment, a scheme other than http and
    // https, or a path other than none or /api/v3. The public GitHub only over https.
    static std::optional<ServerAddress> parse(const QString& text);

    // The host text of a server given by its bases: "github.com" for the public
    // GitHub, else the REST API's "host" or "host:port".
    static QString hostOf(const GitHubEndpoints& endpoints);

    const GitHubEndpoints& endpoints() const { return m_endpoints; }
    const QString& host() const { return m_host; }

private:
    ServerAddress(const GitHubEndpoints& endpoints, const QString& host);

    GitHubEndpoints m_endpoints;
    QString m_host;
};
