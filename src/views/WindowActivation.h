#pragma once

class QWidget;

namespace WindowActivation {

// Brings the application to the front: `window` is shown (un-minimised if need be),
// raised and activated, also when another application is active.
void bringToFront(QWidget* window);

} // namespace WindowActivation
