#pragma once

#include <QHash>
#include <QObject>
#include <QRect>
#include <QString>

class MainWindow;
class PreferenceStore;
class QWidget;

// The windows' layout as the user left it, kept in the preference file: the main
// window's geometry, maximised state and current tab, the column widths the user dragged
// in its tables, and the debug window's geometry. Each is restored when its window is
// attached and remembered as it changes from then on. A window that would lie off every
// screen now connected comes back on the primary screen.
class RememberedLayout : public QObject
{
    Q_OBJECT

public:
    explicit RememberedLayout(PreferenceStore& preferences, QObject* parent = nullptr);

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

    PreferenceStore& m_preferences;
    // The geometry key of each window watched.
    QHash<QObject*, QString> m_geometryKeys;
};
