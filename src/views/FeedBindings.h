#pragma once

#include <functional>

class QCheckBox;
class QPushButton;
class QString;
class QWidget;

// The controls every feed tab has alike: named buttons, the auto-sync switch and the
// re-sync shortcut. (What a tab shows of its accounts' controllers is FeedStatusArea's.)
namespace FeedBindings {

// A push button that tests and the accessibility interface find by `objectName` and text.
QPushButton* namedButton(const QString& text, const QString& objectName, QWidget* parent);

// The "Auto-sync every 5 minutes" switch.
QCheckBox* autoSyncSwitch(const QString& objectName, QWidget* parent);

// Ctrl+R and F5 anywhere in the tab.
void addResyncShortcut(QWidget* tab, std::function<void()> resync);

} // namespace FeedBindings
