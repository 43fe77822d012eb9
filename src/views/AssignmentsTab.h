#pragma once

#include "core/Environment.h"

#include <QWidget>

class AssignmentsViewModel;

// The Assignments tab of the main window.
class AssignmentsTab : public QWidget
{
    Q_OBJECT

public:
    AssignmentsTab(AssignmentsViewModel& viewModel, const Environment& environment, QWidget* parent = nullptr);
};
