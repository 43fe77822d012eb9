<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AccountPicker</name>
    <message>
        <source>Account</source>
        <translation>Konto</translation>
    </message>
    <message>
        <source>All Accounts</source>
        <translation>Alle Konten</translation>
    </message>
</context>
<context>
    <name>AccountTableModel</name>
    <message>
        <source>Account</source>
        <translation>Konto</translation>
    </message>
</context>
<context>
    <name>AccountsDialog</name>
    <message>
        <source>Accounts</source>
        <translation>Konten</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>Konto</translation>
    </message>
    <message>
        <source>Token</source>
        <translation>Token</translation>
    </message>
    <message>
        <source>Add Account…</source>
        <translation>Konto hinzufügen …</translation>
    </message>
    <message>
        <source>Sign In Again</source>
        <translation>Erneut anmelden</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>token stored</source>
        <translation>Token gespeichert</translation>
    </message>
    <message>
        <source>no token</source>
        <translation>kein Token</translation>
    </message>
    <message>
        <source>The first account cannot be removed; “Sign In Again” replaces its token.</source>
        <translation>Das erste Konto kann nicht entfernt werden; „Erneut anmelden“ ersetzt sein Token.</translation>
    </message>
    <message>
        <source>Remove Account</source>
        <translation>Konto entfernen</translation>
    </message>
    <message>
        <source>Remove %1?</source>
        <translation>%1 entfernen?</translation>
    </message>
    <message>
        <source>Its token, caches, marks, favourites and archive are deleted from this computer. Nothing of your other accounts is touched.</source>
        <translation>Sein Token, seine Caches, Markierungen, Favoriten und sein Archiv werden von diesem Computer gelöscht. Ihre anderen Konten bleiben unberührt.</translation>
    </message>
</context>
<context>
    <name>AddAccountDialog</name>
    <message>
        <source>Enter the server&apos;s host name, such as github.example.com.</source>
        <translation>Geben Sie den Hostnamen des Servers ein, etwa github.example.com.</translation>
    </message>
    <message>
        <source>A server address has no spaces.</source>
        <translation>Eine Serveradresse enthält keine Leerzeichen.</translation>
    </message>
    <message>
        <source>Not a GitHub server: give a host name such as github.example.com, or its https:// address.</source>
        <translation>Kein GitHub-Server: Geben Sie einen Hostnamen wie github.example.com oder seine https://-Adresse an.</translation>
    </message>
    <message>
        <source>Add Account</source>
        <translation>Konto hinzufügen</translation>
    </message>
    <message>
        <source>An account on github.com or on a GitHub Enterprise Server. Its notifications and assignments show beside those of your other accounts.</source>
        <translation>Ein Konto auf github.com oder auf einem GitHub Enterprise Server. Seine Benachrichtigungen und Zuweisungen erscheinen neben denen Ihrer anderen Konten.</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Sign In with GitHub</source>
        <translation>Mit GitHub anmelden</translation>
    </message>
    <message>
        <source>or paste a personal access token:</source>
        <translation>oder fügen Sie ein persönliches Zugriffstoken ein:</translation>
    </message>
    <message>
        <source>Personal access token</source>
        <translation>Persönliches Zugriffstoken</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>Personal access token:</source>
        <translation>Persönliches Zugriffstoken:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>No sign-in app is set up for %1 (TIDEWHELK_CLIENT_IDS): paste a personal access token.</source>
        <translation>Für %1 ist keine Anmelde-App eingerichtet (TIDEWHELK_CLIENT_IDS): Fügen Sie ein persönliches Zugriffstoken ein.</translation>
    </message>
    <message>
        <source>Checking the token with %1…</source>
        <translation>Token wird bei %1 geprüft …</translation>
    </message>
    <message>
        <source>Stored the new token of %1</source>
        <translation>Neues Token von %1 gespeichert</translation>
    </message>
    <message>
        <source>Added %1</source>
        <translation>%1 hinzugefügt</translation>
    </message>
    <message>
        <source>%1 refused this token: check that it was copied whole and has not expired or been revoked.</source>
        <translation>%1 hat dieses Token abgelehnt: Prüfen Sie, ob es vollständig kopiert wurde und weder abgelaufen noch widerrufen ist.</translation>
    </message>
    <message>
        <source>%1 did not answer (%2). Check the server&apos;s address and your connection.</source>
        <translation>%1 hat nicht geantwortet (%2). Prüfen Sie die Adresse des Servers und Ihre Verbindung.</translation>
    </message>
    <message>
        <source>No account could be read from %1 (%2).</source>
        <translation>Von %1 konnte kein Konto gelesen werden (%2).</translation>
    </message>
</context>
<context>
    <name>Alerts</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>AssignmentListModel</name>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Repository</source>
        <translation>Repository</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Updated At</source>
        <translation>Aktualisiert</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Archivieren</translation>
    </message>
    <message>
        <source>Unarchive</source>
        <translation>Archivierung aufheben</translation>
    </message>
    <message>
        <source>PR</source>
        <translation>PR</translation>
    </message>
    <message>
        <source>Issue</source>
        <translation>Issue</translation>
    </message>
    <message>
        <source>pull request</source>
        <translation>Pull Request</translation>
    </message>
    <message>
        <source>issue</source>
        <translation>Issue</translation>
    </message>
</context>
<context>
    <name>AssignmentsTab</name>
    <message>
        <source>Syncing assignments...</source>
        <translation>Zuweisungen werden synchronisiert …</translation>
    </message>
    <message>
        <source>Assignments</source>
        <translation>Zuweisungen</translation>
    </message>
    <message>
        <source>Show only favorites</source>
        <translation>Nur Favoriten anzeigen</translation>
    </message>
    <message>
        <source>Total Assignments: %1</source>
        <translation>Zuweisungen insgesamt: %1</translation>
    </message>
    <message>
        <source>Assignment URL</source>
        <translation>URL der Zuweisung</translation>
    </message>
    <message>
        <source>Enter assignment URL</source>
        <translation>URL eines Issues oder Pull Requests eingeben</translation>
    </message>
    <message>
        <source>Add Assignment</source>
        <translation>Zuweisung hinzufügen</translation>
    </message>
    <message>
        <source>Re-sync</source>
        <translation>Neu synchronisieren</translation>
    </message>
    <message>
        <source>Re-read every assignment, then sync (Ctrl+R)</source>
        <translation>Alle Zuweisungen neu einlesen, dann synchronisieren (Strg+R)</translation>
    </message>
    <message>
        <source>Archived Assignments</source>
        <translation>Archivierte Zuweisungen</translation>
    </message>
    <message>
        <source>Filter assignments</source>
        <translation>Zuweisungen filtern</translation>
    </message>
    <message>
        <source>Filter assignments...</source>
        <translation>Zuweisungen filtern …</translation>
    </message>
</context>
<context>
    <name>BottomArea</name>
    <message>
        <source>Archived assignments</source>
        <translation>Archivierte Zuweisungen</translation>
    </message>
    <message>
        <source>Show or hide the archived assignments</source>
        <translation>Archivierte Zuweisungen ein- oder ausblenden</translation>
    </message>
</context>
<context>
    <name>BusyIndicator</name>
    <message>
        <source>In progress</source>
        <translation>Wird ausgeführt</translation>
    </message>
</context>
<context>
    <name>ContentView</name>
    <message>
        <source>Connect GitHub Account</source>
        <translation>GitHub-Konto verbinden</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Benachrichtigungen</translation>
    </message>
    <message>
        <source>Favorites</source>
        <translation>Favoriten</translation>
    </message>
    <message>
        <source>Assignments</source>
        <translation>Zuweisungen</translation>
    </message>
    <message>
        <source>Group by Repository</source>
        <translation>Nach Repository gruppieren</translation>
    </message>
</context>
<context>
    <name>CountRow</name>
    <message>
        <source>(filtered by: &quot;%1&quot;)</source>
        <translation>(gefiltert nach: „%1“)</translation>
    </message>
</context>
<context>
    <name>DebugLogView</name>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Debug Logs</source>
        <translation>Debug-Protokoll</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Stufe</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Log entries</source>
        <translation>Protokolleinträge</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
</context>
<context>
    <name>DebugLogWindow</name>
    <message>
        <source>Debug Logs</source>
        <translation>Debug-Protokoll</translation>
    </message>
</context>
<context>
    <name>DesktopIntegration</name>
    <message>
        <source>Keep Running in Background</source>
        <translation>Im Hintergrund weiterlaufen</translation>
    </message>
    <message>
        <source>Desktop Notifications</source>
        <translation>Desktop-Benachrichtigungen</translation>
    </message>
    <message>
        <source>Start at Login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Tidewhelk keeps running in the status area</source>
        <translation>Tidewhelk läuft im Statusbereich weiter</translation>
    </message>
    <message>
        <source>Your lists go on syncing in the background. Click its icon to open the window again, or choose Quit in the icon&apos;s menu to end it.

To quit whenever the window closes, turn off Settings ▸ Keep Running in Background.</source>
        <translation>Ihre Listen werden im Hintergrund weiter synchronisiert. Klicken Sie auf das Symbol, um das Fenster wieder zu öffnen, oder wählen Sie „Beenden“ im Menü des Symbols, um Tidewhelk zu beenden.

Soll Tidewhelk immer mit dem Fenster beendet werden, schalten Sie Einstellungen ▸ Im Hintergrund weiterlaufen aus.</translation>
    </message>
</context>
<context>
    <name>FavoritesTab</name>
    <message>
        <source>Favorites</source>
        <translation>Favoriten</translation>
    </message>
    <message>
        <source>No Favorites Yet</source>
        <translation>Noch keine Favoriten</translation>
    </message>
    <message>
        <source>Start by exploring your notifications and issues, then click the star icon to save important items here for quick access.</source>
        <translation>Sehen Sie sich Ihre Benachrichtigungen und Issues an und klicken Sie auf den Stern, um wichtige Einträge für den schnellen Zugriff hier zu sammeln.</translation>
    </message>
</context>
<context>
    <name>FeedBindings</name>
    <message>
        <source>Auto-sync every 5 minutes</source>
        <translation>Alle 5 Minuten automatisch synchronisieren</translation>
    </message>
</context>
<context>
    <name>FeedItemDelegate</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>FilterRow</name>
    <message>
        <source>×</source>
        <translation>×</translation>
    </message>
    <message>
        <source>Clear filter</source>
        <translation>Filter löschen</translation>
    </message>
    <message>
        <source>Clear filter (Escape)</source>
        <translation>Filter löschen (Esc)</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Connect GitHub Account</source>
        <translation>GitHub-Konto verbinden</translation>
    </message>
</context>
<context>
    <name>ManageViewsDialog</name>
    <message>
        <source>Manage Views</source>
        <translation>Ansichten verwalten</translation>
    </message>
    <message>
        <source>Saved views</source>
        <translation>Gespeicherte Ansichten</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>ManualTokenInputView</name>
    <message>
        <source>The token has spaces or line breaks at its ends</source>
        <translation>Das Token beginnt oder endet mit Leerzeichen oder Zeilenumbrüchen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save Token</source>
        <translation>Token speichern</translation>
    </message>
    <message>
        <source>Personal Access Token</source>
        <translation>Persönliches Zugriffstoken</translation>
    </message>
    <message>
        <source>Enter GitHub Personal Access Token</source>
        <translation>Persönliches Zugriffstoken von GitHub eingeben</translation>
    </message>
    <message>
        <source>If OAuth isn&apos;t working, you can manually enter a GitHub Personal Access Token with &apos;notifications&apos;, &apos;repo&apos;, and &apos;read:user&apos; scopes.</source>
        <translation>Falls OAuth nicht funktioniert, können Sie ein persönliches Zugriffstoken (Personal Access Token) von GitHub mit den Bereichen „notifications“, „repo“ und „read:user“ von Hand eingeben.</translation>
    </message>
    <message>
        <source>GitHub Token</source>
        <translation>GitHub-Token</translation>
    </message>
    <message>
        <source>Saving...</source>
        <translation>Wird gespeichert …</translation>
    </message>
    <message>
        <source>Fine-grained tokens cannot read notifications; use a classic token with the notifications and repo scopes</source>
        <translation>Fein abgestufte Tokens können keine Benachrichtigungen lesen; verwenden Sie ein klassisches Token mit den Bereichen „notifications“ und „repo“</translation>
    </message>
</context>
<context>
    <name>NewThreadAnnouncer</name>
    <message>
        <source>Open in Browser</source>
        <translation>Im Browser öffnen</translation>
    </message>
    <message>
        <source>Show Tidewhelk</source>
        <translation>Tidewhelk anzeigen</translation>
    </message>
    <message numerus="yes">
        <source>%n new notifications</source>
        <translation>
            <numerusform>%n neue Benachrichtigung</numerusform>
            <numerusform>%n neue Benachrichtigungen</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>NotificationListModel</name>
    <message>
        <source>Actions</source>
        <translation>Aktionen</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>Repository</source>
        <translation>Repository</translation>
    </message>
    <message>
        <source>Updated At</source>
        <translation>Aktualisiert</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Mark as Read</source>
        <translation>Als gelesen markieren</translation>
    </message>
    <message>
        <source>Stop Watching</source>
        <translation>Nicht mehr beobachten</translation>
    </message>
    <message>
        <source>Read on GitHub</source>
        <translation>Auf GitHub gelesen</translation>
    </message>
    <message>
        <source>?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>Mark as Done</source>
        <translation>Als erledigt markieren</translation>
    </message>
</context>
<context>
    <name>NotificationsTab</name>
    <message>
        <source>Syncing notifications...</source>
        <translation>Benachrichtigungen werden synchronisiert …</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Benachrichtigungen</translation>
    </message>
    <message>
        <source>Repository</source>
        <translation>Repository</translation>
    </message>
    <message>
        <source>Re-sync</source>
        <translation>Neu synchronisieren</translation>
    </message>
    <message>
        <source>Sync notifications and pull request statuses (Ctrl+R)</source>
        <translation>Benachrichtigungen und den Status der Pull Requests synchronisieren (Strg+R)</translation>
    </message>
    <message>
        <source>Mark Completed Read</source>
        <translation>Erledigte als gelesen markieren</translation>
    </message>
    <message>
        <source>Mark every closed, merged or resolved thread as read</source>
        <translation>Alle geschlossenen, gemergten oder gelösten Threads als gelesen markieren</translation>
    </message>
    <message>
        <source>Filter notifications</source>
        <translation>Benachrichtigungen filtern</translation>
    </message>
    <message>
        <source>Filter notifications...</source>
        <translation>Benachrichtigungen filtern …</translation>
    </message>
    <message>
        <source>Total Notifications: %1</source>
        <translation>Benachrichtigungen insgesamt: %1</translation>
    </message>
    <message>
        <source>All Repositories</source>
        <translation>Alle Repositorys</translation>
    </message>
</context>
<context>
    <name>OAuthAuthenticationView</name>
    <message>
        <source>Connect to GitHub</source>
        <translation>Mit GitHub verbinden</translation>
    </message>
    <message>
        <source>Authenticate with your GitHub account to sync notifications and issues securely.</source>
        <translation>Melden Sie sich mit Ihrem GitHub-Konto an, um Benachrichtigungen und Issues sicher zu synchronisieren.</translation>
    </message>
    <message>
        <source>Sign in with GitHub</source>
        <translation>Mit GitHub anmelden</translation>
    </message>
    <message>
        <source>Requesting authorization code...</source>
        <translation>Autorisierungscode wird angefordert …</translation>
    </message>
    <message>
        <source>GitHub Device Authorization</source>
        <translation>Geräteautorisierung bei GitHub</translation>
    </message>
    <message>
        <source>Enter this code at GitHub:</source>
        <translation>Geben Sie diesen Code bei GitHub ein:</translation>
    </message>
    <message>
        <source>Copy code to clipboard</source>
        <translation>Code in die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Copy this code, then click the button below to open GitHub</source>
        <translation>Kopieren Sie diesen Code und klicken Sie dann auf die Schaltfläche unten, um GitHub zu öffnen</translation>
    </message>
    <message>
        <source>Open GitHub &amp;&amp; Enter Code</source>
        <translation>GitHub öffnen &amp;&amp; Code eingeben</translation>
    </message>
    <message>
        <source>Open GitHub &amp; Enter Code</source>
        <translation>GitHub öffnen &amp; Code eingeben</translation>
    </message>
    <message>
        <source>Waiting for authorization...</source>
        <translation>Warten auf Autorisierung …</translation>
    </message>
    <message>
        <source>or</source>
        <translation>oder</translation>
    </message>
    <message>
        <source>Use Personal Access Token</source>
        <translation>Persönliches Zugriffstoken verwenden</translation>
    </message>
    <message>
        <source>Enter Token Manually</source>
        <translation>Token von Hand eingeben</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Authentication failed: %1</source>
        <translation>Anmeldung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Debug: %1</source>
        <translation>Debug: %1</translation>
    </message>
</context>
<context>
    <name>RepositoryGroupModel</name>
    <message>
        <source>1 row</source>
        <translation>1 Zeile</translation>
    </message>
    <message numerus="yes">
        <source>%n rows</source>
        <translation>
            <numerusform>%n Zeile</numerusform>
            <numerusform>%n Zeilen</numerusform>
        </translation>
    </message>
    <message>
        <source>expanded</source>
        <translation>aufgeklappt</translation>
    </message>
    <message>
        <source>collapsed</source>
        <translation>zugeklappt</translation>
    </message>
</context>
<context>
    <name>ResetCommands</name>
    <message>
        <source>App Data Reset Complete</source>
        <translation>App-Daten zurückgesetzt</translation>
    </message>
    <message>
        <source>All tokens and settings have been cleared. The app will behave as if it&apos;s a fresh install.</source>
        <translation>Alle Tokens und Einstellungen wurden gelöscht. Die App verhält sich wie nach einer Neuinstallation.</translation>
    </message>
    <message>
        <source>Notification Cache Reset</source>
        <translation>Benachrichtigungs-Cache zurückgesetzt</translation>
    </message>
    <message>
        <source>The notification cache has been cleared. Fresh notifications will be synced on next reload.</source>
        <translation>Der Benachrichtigungs-Cache wurde geleert. Beim nächsten Neuladen werden die Benachrichtigungen frisch synchronisiert.</translation>
    </message>
    <message>
        <source>Assignments Cache Reset</source>
        <translation>Zuweisungs-Cache zurückgesetzt</translation>
    </message>
    <message>
        <source>The assignments cache has been cleared. Fresh assignments will be synced on next reload.</source>
        <translation>Der Zuweisungs-Cache wurde geleert. Beim nächsten Neuladen werden die Zuweisungen frisch synchronisiert.</translation>
    </message>
</context>
<context>
    <name>RowActions</name>
    <message>
        <source>Open in Browser</source>
        <translation>Im Browser öffnen</translation>
    </message>
    <message>
        <source>Copy Link</source>
        <translation>Link kopieren</translation>
    </message>
    <message>
        <source>Add to Favorites</source>
        <translation>Zu Favoriten hinzufügen</translation>
    </message>
    <message>
        <source>Star</source>
        <translation>Als Favorit markieren</translation>
    </message>
    <message>
        <source>Remove from Favorites</source>
        <translation>Aus Favoriten entfernen</translation>
    </message>
    <message>
        <source>Unstar</source>
        <translation>Favorit entfernen</translation>
    </message>
</context>
<context>
    <name>SaveViewDialog</name>
    <message>
        <source>Save View</source>
        <translation>Ansicht speichern</translation>
    </message>
    <message>
        <source>Query</source>
        <translation>Abfrage</translation>
    </message>
    <message>
        <source>View name</source>
        <translation>Name der Ansicht</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Query:</source>
        <translation>Abfrage:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
</context>
<context>
    <name>SavedViewPicker</name>
    <message>
        <source>Views</source>
        <translation>Ansichten</translation>
    </message>
    <message>
        <source>Save View…</source>
        <translation>Ansicht speichern …</translation>
    </message>
    <message>
        <source>Save View</source>
        <translation>Ansicht speichern</translation>
    </message>
    <message>
        <source>Keep the filter&apos;s query under a name</source>
        <translation>Die Abfrage des Filters unter einem Namen behalten</translation>
    </message>
    <message>
        <source>Manage Views…</source>
        <translation>Ansichten verwalten …</translation>
    </message>
    <message>
        <source>Manage Views</source>
        <translation>Ansichten verwalten</translation>
    </message>
    <message>
        <source>Rename, reorder or delete saved views</source>
        <translation>Gespeicherte Ansichten umbenennen, umordnen oder löschen</translation>
    </message>
</context>
<context>
    <name>SavedViews</name>
    <message>
        <source>Review requested</source>
        <translation>Review angefragt</translation>
    </message>
    <message>
        <source>Failing CI</source>
        <translation>Fehlschlagende CI</translation>
    </message>
    <message>
        <source>Mentions</source>
        <translation>Erwähnungen</translation>
    </message>
    <message>
        <source>Open pull requests</source>
        <translation>Offene Pull Requests</translation>
    </message>
    <message>
        <source>Open issues</source>
        <translation>Offene Issues</translation>
    </message>
    <message>
        <source>Starred</source>
        <translation>Favoriten</translation>
    </message>
</context>
<context>
    <name>SelectionBar</name>
    <message numerus="yes">
        <source>%n selected</source>
        <translation>
            <numerusform>%n ausgewählt</numerusform>
            <numerusform>%n ausgewählt</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatusAppearance</name>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>no state yet</source>
        <translation>noch kein Status</translation>
    </message>
    <message>
        <source>CI %1</source>
        <translation>CI %1</translation>
    </message>
</context>
<context>
    <name>TidewhelkApp</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>Remove Threads Read Elsewhere</source>
        <translation>Anderswo gelesene Threads entfernen</translation>
    </message>
    <message>
        <source>Debug</source>
        <translation>Debug</translation>
    </message>
    <message>
        <source>Show Debug Logs</source>
        <translation>Debug-Protokoll anzeigen</translation>
    </message>
    <message>
        <source>Reset All Data</source>
        <translation>Alle Daten zurücksetzen</translation>
    </message>
    <message>
        <source>Reset Notification Cache</source>
        <translation>Benachrichtigungs-Cache zurücksetzen</translation>
    </message>
    <message>
        <source>Reset Issues Cache</source>
        <translation>Issue-Cache zurücksetzen</translation>
    </message>
    <message>
        <source>Delete Token Only</source>
        <translation>Nur das Token löschen</translation>
    </message>
    <message>
        <source>Clear UserDefaults</source>
        <translation>UserDefaults löschen</translation>
    </message>
    <message>
        <source>Test OAuth URL</source>
        <translation>OAuth-URL testen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>About Tidewhelk</source>
        <translation>Über Tidewhelk</translation>
    </message>
    <message>
        <source>Reset App Data</source>
        <translation>App-Daten zurücksetzen</translation>
    </message>
    <message>
        <source>Your GitHub notification threads and assigned issues, kept up to date.</source>
        <translation>Ihre GitHub-Benachrichtigungen und zugewiesenen Issues, stets auf dem neuesten Stand.</translation>
    </message>
    <message>
        <source>Save View…</source>
        <translation>Ansicht speichern …</translation>
    </message>
    <message>
        <source>Manage Views…</source>
        <translation>Ansichten verwalten …</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Accounts…</source>
        <translation>Konten …</translation>
    </message>
</context>
<context>
    <name>TokenCompleter</name>
    <message>
        <source>Filter suggestions</source>
        <translation>Filtervorschläge</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Show Tidewhelk</source>
        <translation>Tidewhelk anzeigen</translation>
    </message>
    <message>
        <source>Re-sync</source>
        <translation>Neu synchronisieren</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>TrayStatus</name>
    <message>
        <source>1 notification</source>
        <translation>1 Benachrichtigung</translation>
    </message>
    <message numerus="yes">
        <source>%n notifications</source>
        <translation>
            <numerusform>%n Benachrichtigung</numerusform>
            <numerusform>%n Benachrichtigungen</numerusform>
        </translation>
    </message>
    <message>
        <source>1 assignment</source>
        <translation>1 Zuweisung</translation>
    </message>
    <message numerus="yes">
        <source>%n assignments</source>
        <translation>
            <numerusform>%n Zuweisung</numerusform>
            <numerusform>%n Zuweisungen</numerusform>
        </translation>
    </message>
    <message>
        <source>Tidewhelk — not signed in to GitHub</source>
        <translation>Tidewhelk — nicht bei GitHub angemeldet</translation>
    </message>
    <message>
        <source>Tidewhelk — %1, %2</source>
        <translation>Tidewhelk — %1, %2</translation>
    </message>
    <message>
        <source>%1 — %2, %3</source>
        <translation>%1 — %2, %3</translation>
    </message>
    <message>
        <source>%1 — not signed in to GitHub</source>
        <translation>%1 — nicht bei GitHub angemeldet</translation>
    </message>
</context>
<context>
    <name>URLEventHandler</name>
    <message>
        <source>URL Received (Device Flow)</source>
        <translation>URL empfangen (Device Flow)</translation>
    </message>
    <message>
        <source>URL: %1

Note: Device flow doesn&apos;t use URL callbacks, authentication happens in browser.</source>
        <translation>URL: %1

Hinweis: Der Device Flow verwendet keine URL-Callbacks, die Anmeldung geschieht im Browser.</translation>
    </message>
</context>
</TS>
