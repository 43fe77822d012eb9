#pragma once

#include <QHash>
#include <QLatin1String>
#include <QObject>
#include <QRect>
#include <QString>

class MainWindow;
class PreferenceStore;
class QWidget;

// The keys of the layout file, with what they hold.
namespace LayoutKeys {

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

} // namespace LayoutKeys

// The windows' layout as the user left it: the main window's geometry, maximised state
// and current tab, the column widths the user dragged in its tables, and the debug
// window's geometry. Each is restored when its window is attached and remembered as it
// changes from then on. A window that would lie off every screen now connected comes
// back on the primary screen.
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

    // `geometry` moved onto the primary screen if it lies off every screen (WindowPlacement).
    static QRect onConnectedScreens(const QRect& geometry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Restores the geometry kept under `key`, if any; false when none was kept.
    bool restoreGeometry(QWidget* window, const QString& key);
    void rememberGeometry(QWidget* window);
    void attachTabs(MainWindow* window);
    void attachTables(MainWindow* window);

    PreferenceStore& m_layoutFile;
    // The geometry key of each window watched.
    QHash<QObject*, QString> m_geometryKeys;
};
