#pragma once

#include <QHash>
#include <QLatin1String>
#include <QObject>
#include <QString>

class MainWindow;
class PreferenceStore;
class QWidget;

// The keys of the layout file, with what they hold.
namespace LayoutKeys {

// The main window's geometry and maximised state as QWidget::saveGeometry() gives them:
// bytes. Default: absent (the window's own size, placed by the window system).
inline constexpr QLatin1String mainWindowState {"mainWindowState"};
// The object name of the main window's current tab: string. Default: the first tab.
inline constexpr QLatin1String currentTab {"currentTab"};
// The debug window's geometry, as mainWindowState. Default: absent (centred).
inline constexpr QLatin1String debugWindowState {"debugWindowState"};
// The header of a table as QHeaderView::saveState() gives it, written once the user
// dragged a column: bytes. Default: absent (the table's own widths).
inline constexpr QLatin1String notificationsHeaderState {"notificationsHeaderState"};
inline constexpr QLatin1String favoritesHeaderState {"favoritesHeaderState"};
inline constexpr QLatin1String assignmentsHeaderState {"assignmentsHeaderState"};
// A table shows its rows grouped by repository: native boolean. Default: false.
inline constexpr QLatin1String notificationsGroupedByRepository {"notificationsGroupedByRepository"};
inline constexpr QLatin1String assignmentsGroupedByRepository {"assignmentsGroupedByRepository"};

// Written by earlier versions, read while the key that replaces it is absent, and
// removed when that key is written.
//
// The main window's geometry when not maximised, frame excluded: string
// "x,y,width,height" in pixels.
inline constexpr QLatin1String mainWindowGeometry {"mainWindowGeometry"};
// The main window is maximised: native boolean.
inline constexpr QLatin1String mainWindowMaximized {"mainWindowMaximized"};
// The debug window's geometry, as mainWindowGeometry.
inline constexpr QLatin1String debugWindowGeometry {"debugWindowGeometry"};
// Column widths of a table: string of comma-separated pixels, one per column, 0 for a
// column that shares the remaining width.
inline constexpr QLatin1String notificationsColumnWidths {"notificationsColumnWidths"};
inline constexpr QLatin1String favoritesColumnWidths {"favoritesColumnWidths"};
inline constexpr QLatin1String assignmentsColumnWidths {"assignmentsColumnWidths"};

} // namespace LayoutKeys

// The windows' layout as the user left it: the main window's geometry, maximised state
// and current tab, the column widths the user dragged in its tables, whether a table
// groups its rows by repository, and the debug
// window's geometry. Each is restored when its window is attached and remembered as it
// changes from then on, in Qt's own forms, which also bring a window that would lie off
// every screen now connected back onto a screen. A file of an earlier version, with
// its own forms, is read as well.
//
// It is kept in a small file of its own beside the preference file: the window reads it
// before it first paints, and the preference file, whose caches may be megabytes, is
// read only once the window is on screen.
class RememberedLayout : public QObject
{
    Q_OBJECT

public:
    explicit RememberedLayout(PreferenceStore& layoutFile, QObject* parent = nullptr);

    // layout.ini in the directory of `preferencesFile`.
    static QString filePathBeside(const QString& preferencesFile);

    void attachMainWindow(MainWindow* window);
    // False when no geometry of the debug window was remembered: it keeps its own.
    bool attachDebugWindow(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where a window's geometry is kept, now and by earlier versions.
    struct GeometryKeys
    {
        QString state;
        QString legacy;
    };

    // Restores the geometry kept for `window`, if any; false when none was kept.
    bool restoreGeometry(QWidget* window, const GeometryKeys& keys);
    void rememberGeometry(QWidget* window);
    void attachTabs(MainWindow* window);
    void attachTables(MainWindow* window);

    PreferenceStore& m_layoutFile;
    // The keys of each window watched.
    QHash<QObject*, GeometryKeys> m_geometryKeys;
};
