#pragma once

#include <functional>

class FeedController;
class LoadingCard;
class QCheckBox;
class QPushButton;
class QString;
class StatusLine;
class QWidget;

// What every feed tab shows of its controller: the loading card while a sync runs, the
// status line, and the auto-sync switch (which the user flips back).
namespace FeedBindings {

void bind(FeedController& controller, LoadingCard* loadingCard, StatusLine* statusLine, QCheckBox* autoReload,
    QWidget* context);

// A push button that tests and the accessibility interface find by `objectName` and text.
QPushButton* namedButton(const QString& text, const QString& objectName, QWidget* parent);

// The "Auto-sync every 5 minutes" switch.
QCheckBox* autoSyncSwitch(const QString& objectName, QWidget* parent);

// Ctrl+R and F5 anywhere in the tab.
void addResyncShortcut(QWidget* tab, std::function<void()> resync);

} // namespace FeedBindings
