#pragma once

#include "github/GitHubEndpoints.h"

#include <functional>
#include <memory>

class Console;
class DebugLogger;
class HttpTransport;
class Scheduler;
class TokenProvider;

// What the REST clients are built with: time, the console, the log, the shared HTTP
// transport, a token reader and the server's base URLs. `Environment` adds the stores
// and the desktop services for the layers above.
struct ClientEnvironment
{
    Scheduler* scheduler = nullptr;
    Console* console = nullptr;
    DebugLogger* logger = nullptr;
    HttpTransport* http = nullptr;
    // A token reader of its own for each REST client (see SecureStorage::providerFor).
    std::function<std::unique_ptr<TokenProvider>()> makeTokenProvider;
    GitHubEndpoints endpoints;
};
