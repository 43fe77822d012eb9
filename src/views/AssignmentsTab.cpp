#include "views/AssignmentsTab.h"

#include <QLabel>
#include <QVBoxLayout>

AssignmentsTab::AssignmentsTab(AssignmentsViewModel&, const Environment&, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("assignmentsTab"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Assignments"), this));
}
