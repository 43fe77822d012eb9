#pragma once

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>

// The window's controls as the tests reach them: by objectName, as the accessibility
// interface names them for a user.
template <typename T = QWidget>
T* widget(const QObject* parent, const QString& name)
{
    T* found = parent ? parent->findChild<T*>(name) : nullptr;
    if (!found)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

// A menu's items as a user reads them, a separator as "—".
inline QStringList menuItems(const QMenu* menu)
{
    QStringList items;
    for (const QAction* action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("—") : action->text());
    return items;
}

// A menu's items as assistive technology reads them, a separator as "—"; an item whose
// interface no longer leads back to this menu as "(lost)".
inline QStringList accessibleMenuItems(QMenu* menu)
{
    QStringList items;
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(menu);
    for (int i = 0; list && i < list->childCount(); ++i) {
        const QAccessibleInterface* item = list->child(i);
        if (!item || !item->isValid() || item->parent() != list)
            items << QStringLiteral("(lost)");
        else
            items << (item->role() == QAccessible::Separator ? QStringLiteral("—") : item->text(QAccessible::Name));
    }
    return items;
}

// A picker's choices, in order.
inline QStringList comboItems(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}
