#pragma once

class FeedController;
class LoadingCard;
class QCheckBox;
class StatusLine;
class QWidget;

// What every feed tab shows of its controller: the loading card while a sync runs, the
// status line, and the auto-sync switch (which the user flips back).
namespace FeedBindings {

void bind(FeedController& controller, LoadingCard* loadingCard, StatusLine* statusLine, QCheckBox* autoReload,
    QWidget* context);

} // namespace FeedBindings
