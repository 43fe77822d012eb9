#pragma once

#include <QObject>
#include <QString>
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
