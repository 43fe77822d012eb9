#pragma once

#include "ConsoleCapture.h"
#include "FakeGitHub.h"
#include "TestHome.h"
#include "VirtualScheduler.h"
#include "core/DebugLogger.h"
#include "github/RequestError.h"
#include "http/HttpTransport.h"
#include "storage/Environment.h"
#include "storage/Keychain.h"
#include "storage/PreferenceStore.h"

#include <QEventLoop>
#include <QTimer>

#include <optional>
#include <variant>

// A REST client's world for tests, wired as the application wires it: the fake GitHub
// on 127.0.0.1 as the REST API and web base, a virtual scheduler, captured console
// lines, a debug log whose echo is captured, an OAuth client id, and the preference
// store and HTTP cache in a private temporary home. The token goes through a real
// SecureStorage into the test session's keyring, so tests that sign in take the ctest
// resource lock "keyring".
class GitHubTestEnvironment
{
public:
    // `apiPrefix` serves the REST API under a path, as GitHub Enterprise does ("/api/v3").
    explicit GitHubTestEnvironment(const QString& apiPrefix = {});
    ~GitHubTestEnvironment();
    GitHubTestEnvironment(const GitHubTestEnvironment&) = delete;
    GitHubTestEnvironment& operator=(const GitHubTestEnvironment&) = delete;

    const Environment& environment() const { return m_environment; }
    // Tests may change the configuration (client id, endpoints) before building services.
    Environment& environment() { return m_environment; }
    FakeGitHub& server() { return m_server; }
    VirtualScheduler& scheduler() { return m_scheduler; }
    ConsoleCapture& console() { return m_console; }
    // The console lines other than those of reading the token.
    QStringList linesBesideTheToken() const;
    DebugLogger& logger() { return m_logger; }
    ConsoleCapture& logEcho() { return m_logEcho; }
    HttpTransport& http() { return *m_http; }
    const TestHome& home() const { return m_home; }

    // Stores `token` as the user's token and lets the server accept it. The console
    // lines of storing it are dropped.
    void signIn(const QString& token);
    // Removes the stored token (keyring and fallback copy); also done at the end when
    // signed in, so that no token is left for the next test.
    void signOut();

private:
    TestHome m_home;
    VirtualScheduler m_scheduler;
    ConsoleCapture m_console;
    ConsoleCapture m_logEcho;
    DebugLogger m_logger;
    PreferenceStore m_preferences;
    Keychain m_keychain;
    FakeGitHub m_server;
    std::unique_ptr<HttpTransport> m_http;
    Environment m_environment;
    bool m_signedIn = false;
};

// Subscribes to `request` and waits (on the event loop, up to 10 s of real time)
// for its one result: the value or the error. Virtual time does not move meanwhile.
template <typename T>
std::variant<T, RequestError> awaitResult(const Request<T>& request)
{
    // A local event loop rather than QTest::qWaitFor, which sleeps between its turns:
    // a hundred pages would spend seconds asleep.
    std::optional<std::variant<T, RequestError>> result;
    QEventLoop loop;
    Subscription subscription = request.subscribe(
        [&](T value) {
            result.emplace(std::move(value));
            loop.quit();
        },
        [&](RequestError error) {
            result.emplace(std::move(error));
            loop.quit();
        });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!result)
        loop.exec();
    if (!result)
        qFatal("the request delivered nothing within 10 seconds");
    return std::move(*result);
}
