#include "views/NotificationsTab.h"

#include <QLabel>
#include <QVBoxLayout>

NotificationsTab::NotificationsTab(NotificationsViewModel&, const Environment&, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("notificationsTab"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Notifications"), this));
}
