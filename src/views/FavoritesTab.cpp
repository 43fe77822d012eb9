#include "views/FavoritesTab.h"

#include <QLabel>
#include <QVBoxLayout>

FavoritesTab::FavoritesTab(NotificationsViewModel&, const Environment&, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("favoritesTab"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Favorites"), this));
}
