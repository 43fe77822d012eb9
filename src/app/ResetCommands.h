#pragma once

#include "storage/Environment.h"

#include <QCoreApplication>
#include <QString>

class PreferenceStore;

#include <optional>

// The maintenance commands of the menus: they clear stores only. Lists already shown
// stay until the feeds' next sync, and other token readers keep a cached token for up
// to five minutes. Each prints its line and returns the alert to show, if any.
class ResetCommands
{
    Q_DECLARE_TR_FUNCTIONS(ResetCommands)

public:
    struct Alert
    {
        QString title;
        QString text;
    };

    // `layout` is the file of the windows' remembered layout.
    ResetCommands(const Environment& environment, PreferenceStore& layout);

    // The token, every preference key and the layout: as after a fresh install.
    std::optional<Alert> resetAllData();
    // The notifications cache and its last-pull date.
    std::optional<Alert> resetNotificationCache();
    // The assignments cache and its last-pull date.
    std::optional<Alert> resetAssignmentsCache();
    std::optional<Alert> deleteToken();
    // Every preference key (the token's fallback copy among them) and the layout.
    std::optional<Alert> clearPreferences();

private:
    Environment m_environment;
    PreferenceStore& m_layout;
};
