#pragma once

#include "core/Console.h"
#include "core/Environment.h"
#include "core/SystemScheduler.h"
#include "http/HttpTransport.h"
#include "storage/Keychain.h"
#include "storage/PreferenceStore.h"

// The real collaborators of the process, built once in main() after the application
// object: the system clock and timers, standard output, the shared debug log, the
// user's preference store, the desktop's Secret Service, the one HTTP transport, the GitHub addresses from the
// environment and the OAuth client identifier. Every mode of the executable runs
// with the Environment it hands out.
class AppEnvironment
{
public:
    AppEnvironment();
    ~AppEnvironment();
    AppEnvironment(const AppEnvironment&) = delete;
    AppEnvironment& operator=(const AppEnvironment&) = delete;

    const Environment& environment() const { return m_environment; }

private:
    SystemScheduler m_scheduler;
    StdoutConsole m_console;
    PreferenceStore m_preferences;
    HttpTransport m_http;
    Keychain m_keychain;
    Environment m_environment;
};
