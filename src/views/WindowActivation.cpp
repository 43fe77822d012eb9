#include "views/WindowActivation.h"

#include <QWidget>

namespace WindowActivation {

void bringToFront(QWidget* window)
{
    if (!window)
        return;
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace WindowActivation
