#pragma once

#include "core/Console.h"
#include "core/SystemScheduler.h"
#include "http/HttpTransport.h"
#include "storage/Environment.h"
#include "storage/PreferenceStore.h"
#include "storage/SecretStore.h"

#include <memory>
#include <optional>

class WakeWatcher;

// The real collaborators of the process, built once in main() after the application
// object: the system clock and timers, standard output, the shared debug log, the
// user's preference store, the desktop's Secret Service, the one HTTP transport, the
// GitHub addresses from the environment, the OAuth client identifier, and the watch on
// sleep and the network. Every mode of the executable runs with the Environment it
// hands out.
class AppEnvironment
{
public:
    // What the offline demo replaces; the defaults are the user's own.
    struct Setup
    {
        QString preferencesFile = PreferenceStore::defaultFilePath();
        QString httpCacheDirectory = HttpTransport::defaultCacheDirectory();
        std::optional<GitHubEndpoints> endpoints;
        std::optional<QString> oauthClientId;
        // Secrets in memory instead of the desktop's Secret Service.
        bool inMemorySecrets = false;
    };

    AppEnvironment();
    explicit AppEnvironment(const Setup& setup);
    ~AppEnvironment();
    AppEnvironment(const AppEnvironment&) = delete;
    AppEnvironment& operator=(const AppEnvironment&) = delete;

    const Environment& environment() const { return m_environment; }

private:
    SystemScheduler m_scheduler;
    StdoutConsole m_console;
    PreferenceStore m_preferences;
    HttpTransport m_http;
    std::unique_ptr<SecretStore> m_secrets;
    std::unique_ptr<WakeWatcher> m_wake;
    Environment m_environment;
};
