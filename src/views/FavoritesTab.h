#pragma once

#include "core/Environment.h"

#include <QWidget>

class NotificationsViewModel;

// The Favorites tab of the main window.
class FavoritesTab : public QWidget
{
    Q_OBJECT

public:
    FavoritesTab(NotificationsViewModel& viewModel, const Environment& environment, QWidget* parent = nullptr);
};
