#include "views/FeedBindings.h"

#include "notifications/FeedController.h"
#include "views/LoadingCard.h"
#include "views/StatusLine.h"

#include <QCheckBox>

namespace FeedBindings {

void bind(FeedController& controller, LoadingCard* loadingCard, StatusLine* statusLine, QCheckBox* autoReload,
    QWidget* context)
{
    const auto showLoading = [&controller, loadingCard] { loadingCard->setVisible(controller.isLoading()); };
    const auto showStatus = [&controller, statusLine] { statusLine->setMessage(controller.statusMessage()); };
    const auto showAutoReload = [&controller, autoReload] { autoReload->setChecked(controller.autoReload()); };
    QObject::connect(&controller, &FeedController::isLoadingChanged, context, showLoading);
    QObject::connect(&controller, &FeedController::statusMessageChanged, context, showStatus);
    QObject::connect(&controller, &FeedController::autoReloadChanged, context, showAutoReload);
    QObject::connect(autoReload, &QCheckBox::toggled, context, [&controller](bool on) {
        if (on != controller.autoReload())
            controller.setAutoReload(on);
    });
    showLoading();
    showStatus();
    showAutoReload();
}

} // namespace FeedBindings
