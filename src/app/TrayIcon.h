#pragma once

#include "desktop/TrayStatus.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

#include <array>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class QWidget;

// The status-area icon (StatusNotifierItem where the desktop offers it): TrayStatus's
// state as its picture and its tool tip, and the menu "Show Tidewhelk", "Re-sync",
// "Quit". Clicking the icon shows and raises the window, or hides it when it is in front.
// Hidden until its owner shows icon().
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    TrayIcon(TrayStatus& status, QWidget* window, QObject* parent = nullptr);
    ~TrayIcon() override;

    QSystemTrayIcon* icon() const { return m_icon; }
    QMenu* menu() const { return m_menu.get(); }

    // The picture of each state: the application's icon, greyed while no thread is
    // listed, with a red dot while new threads wait to be seen.
    static QIcon iconFor(TrayStatus::State state);

Q_SIGNALS:
    void resyncRequested();
    void quitRequested();

private:
    void update();
    void toggleWindow();

    TrayStatus& m_status;
    QPointer<QWidget> m_window;
    // A context menu of the status area has no parent widget.
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon* m_icon;
    // By state.
    std::array<QIcon, 3> m_pictures;
};
