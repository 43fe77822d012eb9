#pragma once

#include "core/Environment.h"

#include <QWidget>

class NotificationsViewModel;

// The Notifications tab of the main window.
class NotificationsTab : public QWidget
{
    Q_OBJECT

public:
    NotificationsTab(NotificationsViewModel& viewModel, const Environment& environment, QWidget* parent = nullptr);
};
