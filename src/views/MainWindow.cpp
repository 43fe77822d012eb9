#include "views/MainWindow.h"

#include "views/ContentView.h"
#include "views/Symbols.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QToolBar>
#include <QToolButton>

MainWindow::MainWindow(AccountSessions& sessions, QWidget* parent)
    : QMainWindow(parent)
    , m_contentView(new ContentView(sessions, this))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Tidewhelk"));
    setCentralWidget(m_contentView);

    auto* toolbar = new QToolBar(tr("Toolbar"), this);
    toolbar->setObjectName(QStringLiteral("mainToolbar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setEnabled(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    toolbar->addAction(m_contentView->connectAccountAction());
    if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(m_contentView->connectAccountAction()))) {
        button->setObjectName(QStringLiteral("connectGitHubAccountButton"));
        button->setAccessibleName(tr("Connect GitHub Account"));
    }
    addToolBar(Qt::TopToolBarArea, toolbar);

    setMinimumSize(900, 560);
    resize(1240, 780);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}
