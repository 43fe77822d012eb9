#pragma once

#include "github/GitHubEndpoints.h"

#include <QString>

#include <functional>
#include <memory>

class Console;
class DebugLogger;
class HttpTransport;
class PreferenceStore;
class Scheduler;
class SecretStore;
class TokenProvider;
class WakeWatcher;

// The process-wide collaborators every service and controller is built with. The
// application fills it with the real ones; tests fill it with a virtual scheduler,
// a console capture, a store in a temporary directory and the fake GitHub server.
// Holders keep the pointers; the creator keeps the objects alive longer than them.
struct Environment
{
    Scheduler* scheduler = nullptr;
    Console* console = nullptr;
    DebugLogger* logger = nullptr;
    PreferenceStore* preferences = nullptr;
    HttpTransport* http = nullptr;
    // Where SecureStorage keeps the token: the desktop's Secret Service, or memory.
    SecretStore* secrets = nullptr;
    // A token reader of its own for each REST client (see SecureStorage::providerFor).
    std::function<std::unique_ptr<TokenProvider>()> makeTokenProvider;
    GitHubEndpoints endpoints;
    QString oauthClientId;
    // Tells auto-syncing feeds to catch up after sleep or a network outage; none in tests
    // that do not need it.
    WakeWatcher* wake = nullptr;
};
