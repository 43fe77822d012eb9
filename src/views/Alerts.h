#pragma once

#include <QString>

class QWidget;

// The application's informational alerts: a message box with the title as its text,
// the details below it and one "OK" button, modal to `window` only. It is shown from a
// step posted to the event loop, after the event at hand has been handled.
namespace Alerts {

void showInformation(QWidget* window, const QString& title, const QString& text);

} // namespace Alerts
