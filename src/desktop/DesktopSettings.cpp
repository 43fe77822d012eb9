#include "desktop/DesktopSettings.h"

#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

namespace {

bool boolOr(const PreferenceStore& preferences, const QString& key, bool fallback)
{
    return preferences.object(key).isValid() ? preferences.boolValue(key) : fallback;
}

} // namespace

DesktopSettings::DesktopSettings(PreferenceStore& preferences)
    : m_preferences(preferences)
{ }

bool DesktopSettings::desktopNotifications() const
{
    return boolOr(m_preferences, PreferenceKeys::desktopNotifications, true);
}

void DesktopSettings::setDesktopNotifications(bool on)
{
    m_preferences.setBool(PreferenceKeys::desktopNotifications, on);
}

bool DesktopSettings::keepRunningInBackground() const
{
    return boolOr(m_preferences, PreferenceKeys::keepRunningInBackground, true);
}

void DesktopSettings::setKeepRunningInBackground(bool on)
{
    m_preferences.setBool(PreferenceKeys::keepRunningInBackground, on);
}

bool DesktopSettings::backgroundNoticeShown() const
{
    return m_preferences.boolValue(PreferenceKeys::backgroundNoticeShown);
}

void DesktopSettings::setBackgroundNoticeShown()
{
    m_preferences.setBool(PreferenceKeys::backgroundNoticeShown, true);
}
