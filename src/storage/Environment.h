#pragma once

#include "github/ClientEnvironment.h"

#include <QString>

class AccountBook;
class PreferenceStore;
class SecretStore;
class WakeWatcher;

// The process-wide collaborators every service and controller is built with. The
// application fills it with the real ones; tests fill it with a virtual scheduler,
// a console capture, a store in a temporary directory and the fake GitHub server.
// Holders keep the pointers; the creator keeps the objects alive longer than them.
struct Environment : ClientEnvironment
{
    PreferenceStore* preferences = nullptr;
    // Where SecureStorage keeps the token: the desktop's Secret Service, or memory.
    SecretStore* secrets = nullptr;
    QString oauthClientId;
    // The user's accounts, kept in the first account's preferences; none in tests that
    // run one account.
    AccountBook* accounts = nullptr;
    // Tells auto-syncing feeds to catch up after sleep or a network outage; none in tests
    // that do not need it.
    WakeWatcher* wake = nullptr;
};
