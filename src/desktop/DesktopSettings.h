#pragma once

class PreferenceStore;

// The user's desktop switches in the preference store: desktop notifications and
// keeping the application running in the status area (both on until turned off), and
// whether the message that it keeps running there was shown.
class DesktopSettings
{
public:
    explicit DesktopSettings(PreferenceStore& preferences);

    bool desktopNotifications() const;
    void setDesktopNotifications(bool on);
    bool keepRunningInBackground() const;
    void setKeepRunningInBackground(bool on);
    bool backgroundNoticeShown() const;
    void setBackgroundNoticeShown();

private:
    PreferenceStore& m_preferences;
};
