#pragma once

#include <QLatin1String>

// Every key of the preference store, named as the key text itself, with the value it
// holds, its encoding and what a reader substitutes when it is absent or undecodable.
// JSON values are compact UTF-8 documents stored as data (PersistenceService).
namespace PreferenceKeys {

// List of Notification: JSON array of thread objects in their cache form, in list
// order. Default: empty list.
inline constexpr QLatin1String notificationsCacheKey {"notificationsCacheKey"};
// Set of thread ids: JSON array of strings, order not significant. Default: empty set.
inline constexpr QLatin1String readNotificationsKey {"readNotificationsKey"};
// Subject API URL -> moment watching stopped: JSON object whose values are numbers of
// seconds since 2001-01-01T00:00:00Z (may be fractional). Default: empty map.
inline constexpr QLatin1String stoppedWatchingKey {"stoppedWatchingKey"};
// List of Notification, as notificationsCacheKey. Default: empty list.
inline constexpr QLatin1String favoritesKey {"favoritesKey"};
// Notifications auto-reload switch: native boolean. Default: false.
inline constexpr QLatin1String autoReload {"autoReload"};
// Moment of the last successful notifications pull: native date (not JSON).
// Default: now minus one calendar year, not stored back.
inline constexpr QLatin1String lastPullDate {"lastPullDate"};
// List of Issue: JSON array of issue objects in their cache form, in list order.
// Default: empty list.
inline constexpr QLatin1String issuesCacheKey {"issuesCacheKey"};
// List of Issue, as issuesCacheKey. Default: empty list.
inline constexpr QLatin1String archivedIssuesKey {"archivedIssuesKey"};
// List of Issue, as issuesCacheKey. Default: empty list.
inline constexpr QLatin1String issueFavoritesKey {"issueFavoritesKey"};
// Moment of the last successful assignments pull: native date (not JSON).
// Default: now minus one calendar year, not stored back.
inline constexpr QLatin1String lastPullDateAssignments {"lastPullDateAssignments"};
// Assignments auto-reload switch: native boolean. Default: false.
inline constexpr QLatin1String autoReloadAssignments {"autoReloadAssignments"};
// Fallback copy of the access token, written by SecureStorage only (its kTokenKey):
// native string. Default: absent.
inline constexpr QLatin1String githubToken {"github_token"};

// The desktop integration and the window's remembered layout: the feeds never read
// these, and the resets remove them with the rest.

// Desktop notifications of newly arrived threads: native boolean. Default: true.
inline constexpr QLatin1String desktopNotifications {"desktopNotifications"};
// Closing the main window while the status-area icon is shown keeps the application
// running: native boolean. Default: true.
inline constexpr QLatin1String keepRunningInBackground {"keepRunningInBackground"};
// The message that the application keeps running in the status area was shown: native
// boolean. Default: false.
inline constexpr QLatin1String backgroundNoticeShown {"backgroundNoticeShown"};
// The main window's geometry when not maximised, frame excluded: string
// "x,y,width,height" in pixels. Default: absent (the window's own size, placed by the
// window system).
inline constexpr QLatin1String mainWindowGeometry {"mainWindowGeometry"};
// The main window is maximised: native boolean. Default: false.
inline constexpr QLatin1String mainWindowMaximized {"mainWindowMaximized"};
// The object name of the main window's current tab: string. Default: the first tab.
inline constexpr QLatin1String currentTab {"currentTab"};
// The debug window's geometry, as mainWindowGeometry. Default: absent (centred).
inline constexpr QLatin1String debugWindowGeometry {"debugWindowGeometry"};
// Column widths of a table as the user dragged them: string of comma-separated pixels,
// one per column, 0 for a column that shares the remaining width. Default: absent (the
// table's own widths).
inline constexpr QLatin1String notificationsColumnWidths {"notificationsColumnWidths"};
inline constexpr QLatin1String favoritesColumnWidths {"favoritesColumnWidths"};
inline constexpr QLatin1String assignmentsColumnWidths {"assignmentsColumnWidths"};

} // namespace PreferenceKeys
