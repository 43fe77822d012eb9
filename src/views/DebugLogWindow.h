#pragma once

#include <QMainWindow>

class DebugLogView;
class DebugLogger;
class Scheduler;

// The "Debug Logs" window: titled, closable and resizable, without a minimise button,
// 800 × 600 and centred on the screen. Closing it only hides it. A main window of its
// own, so that assistive technology sees a window.
class DebugLogWindow : public QMainWindow
{
    Q_OBJECT

public:
    DebugLogWindow(DebugLogger& logger, Scheduler& scheduler, QWidget* parent = nullptr);

    DebugLogView* view() const { return m_view; }

    // Shows the window centred on its screen, in front and active.
    void present();

private:
    DebugLogView* m_view;
};
