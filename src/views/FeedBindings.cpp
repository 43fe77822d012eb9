#include "views/FeedBindings.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>

namespace FeedBindings {

QPushButton* namedButton(const QString& text, const QString& objectName, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAccessibleName(text);
    return button;
}

QCheckBox* autoSyncSwitch(const QString& objectName, QWidget* parent)
{
    auto* box = new QCheckBox(QCoreApplication::translate("FeedBindings", "Auto-sync every 5 minutes"), parent);
    box->setObjectName(objectName);
    box->setAccessibleName(box->text());
    return box;
}

void addResyncShortcut(QWidget* tab, std::function<void()> resync)
{
    auto* shortcut = new QAction(tab);
    shortcut->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F5)});
    shortcut->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QAction::triggered, tab, std::move(resync));
    tab->addAction(shortcut);
}

} // namespace FeedBindings
