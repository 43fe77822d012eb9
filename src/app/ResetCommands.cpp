#include "ResetCommands.h"

#include "core/Console.h"
#include "storage/AccountBook.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"
#include "storage/SecureStorage.h"

ResetCommands::ResetCommands(const Environment& environment, PreferenceStore& layout)
    : m_environment(environment)
    , m_layout(layout)
{ }

std::optional<ResetCommands::Alert> ResetCommands::resetAllData()
{
    SecureStorage(m_environment).deleteToken();
    // The further accounts' tokens live in items of their own; their keys go with the file.
    if (m_environment.accounts)
        m_environment.accounts->removeFurtherAccounts();
    m_environment.preferences->removeAll();
    m_layout.removeAll();
    m_environment.console->print(
        QStringLiteral("🗑️ Complete app data reset - token deleted, UserDefaults cleared"));
    return Alert {tr("App Data Reset Complete"),
        tr("All tokens and settings have been cleared. The app will behave as if it's a fresh install.")};
}

std::optional<ResetCommands::Alert> ResetCommands::resetNotificationCache()
{
    m_environment.preferences->remove(PreferenceKeys::lastPullDate);
    m_environment.preferences->remove(PreferenceKeys::notificationsCacheKey);
    m_environment.console->print(QStringLiteral("🔔 Notification cache reset"));
    return Alert {tr("Notification Cache Reset"),
        tr("The notification cache has been cleared. Fresh notifications will be synced on next reload.")};
}

std::optional<ResetCommands::Alert> ResetCommands::resetAssignmentsCache()
{
    m_environment.preferences->remove(PreferenceKeys::lastPullDateAssignments);
    m_environment.preferences->remove(PreferenceKeys::issuesCacheKey);
    m_environment.console->print(QStringLiteral("📋 Assignments cache reset"));
    return Alert {tr("Assignments Cache Reset"),
        tr("The assignments cache has been cleared. Fresh assignments will be synced on next reload.")};
}

std::optional<ResetCommands::Alert> ResetCommands::deleteToken()
{
    SecureStorage(m_environment).deleteToken();
    m_environment.console->print(QStringLiteral("🔑 Token deleted from Keychain and UserDefaults"));
    return std::nullopt;
}

std::optional<ResetCommands::Alert> ResetCommands::clearPreferences()
{
    m_environment.preferences->removeAll();
    m_layout.removeAll();
    m_environment.console->print(QStringLiteral("📝 UserDefaults cleared"));
    return std::nullopt;
}
