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
// Thread id -> the thread's "updated_at" text when the user marked it done: JSON object
// of strings. Kept without limit, as readNotificationsKey; a thread GitHub lists again
// with a later "updated_at" loses its mark. Default: empty map.
inline constexpr QLatin1String doneNotificationsKey {"doneNotificationsKey"};
// Subject API URL -> moment watching stopped: JSON object whose values are numbers of
// seconds since 2001-01-01T00:00:00Z (may be fractional). Default: empty map.
inline constexpr QLatin1String stoppedWatchingKey {"stoppedWatchingKey"};
// List of Notification, as notificationsCacheKey. Default: empty list.
inline constexpr QLatin1String favoritesKey {"favoritesKey"};
// Set of ids of listed threads GitHub no longer lists as unread (read elsewhere), as
// readNotificationsKey; ids no longer listed are ignored. Default: empty set.
inline constexpr QLatin1String readElsewhereKey {"readElsewhereKey"};
// Threads read elsewhere leave the notifications list: native boolean. Default: false.
inline constexpr QLatin1String removeReadElsewhere {"removeReadElsewhere"};
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
// The notifications tab's saved filter queries, in picker order: JSON array of objects
// {"name": string, "query": string}; names are not blank. Default (also for a value that
// does not decode, which is reported once): the four views SavedViews starts with.
// An emptied list is stored as [].
inline constexpr QLatin1String notificationViews {"notificationViews"};
// The assignments tab's saved filter queries, as notificationViews. Default: the three
// views SavedViews starts with.
inline constexpr QLatin1String assignmentViews {"assignmentViews"};
// Fallback copy of the access token, written by SecureStorage only (its kTokenKey):
// native string. Default: absent.
inline constexpr QLatin1String githubToken {"github_token"};

// The accounts. The first account's keys are the ones above, at the top of the file; a
// further account keeps the same keys under its group of the file ("account2",
// "account3"...), beside a snapshot of its own (tidewhelk-account2.snapshot), and its
// token's fallback copy as its githubToken there.

// The first account's GitHub login, as GET /user gave it when its token was stored:
// native string. Default: unknown (shown as its server's host alone); also while the
// first account's server is not the one of accountServer.
inline constexpr QLatin1String accountLogin {"accountLogin"};
// The REST API base accountLogin was read from: native string. Default: absent.
inline constexpr QLatin1String accountServer {"accountServer"};
// The further accounts, in the order they were added: JSON array of objects
// {"login": string, "apiBase": string, "webBase": string, "group": string}. Default
// (also for a value or entry that does not decode, which is reported): none.
inline constexpr QLatin1String accounts {"accounts"};

// The desktop integration's switches: the feeds never read them, and the resets remove
// them with the rest. (The windows' layout has a file of its own: RememberedLayout.)

// Desktop notifications of newly arrived threads: native boolean. Default: true.
inline constexpr QLatin1String desktopNotifications {"desktopNotifications"};
// Closing the main window while the status-area icon is shown keeps the application
// running: native boolean. Default: true.
inline constexpr QLatin1String keepRunningInBackground {"keepRunningInBackground"};
// The message that the application keeps running in the status area was shown: native
// boolean. Default: false.
inline constexpr QLatin1String backgroundNoticeShown {"backgroundNoticeShown"};

} // namespace PreferenceKeys
