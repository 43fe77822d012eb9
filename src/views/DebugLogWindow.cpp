#include "views/DebugLogWindow.h"

#include "views/DebugLogView.h"
#include "views/WindowActivation.h"

#include <QScreen>

DebugLogWindow::DebugLogWindow(DebugLogger& logger, Scheduler& scheduler, QWidget* parent)
    : QMainWindow(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
    , m_view(new DebugLogView(logger, scheduler, this))
{
    setObjectName(QStringLiteral("debugLogWindow"));
    setWindowTitle(tr("Debug Logs"));
    setAccessibleName(tr("Debug Logs"));
    setCentralWidget(m_view);
    setMinimumSize(480, 240);
    setGeometry(100, 100, 800, 600);
}

void DebugLogWindow::present()
{
    if (const QScreen* screen = this->screen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        setGeometry(frame);
    }
    WindowActivation::bringToFront(this);
}
