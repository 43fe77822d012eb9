#include "views/Alerts.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>

namespace Alerts {

void showInformation(QWidget* window, const QString& title, const QString& text)
{
    QMetaObject::invokeMethod(
        window,
        [window = QPointer<QWidget>(window), title, text] {
            if (!window)
                return;
            auto* box = new QMessageBox(QMessageBox::Information, title, title, QMessageBox::Ok, window);
            box->setObjectName(QStringLiteral("alert"));
            box->setInformativeText(text);
            // Wide enough for a URL to stay readable: a message box wraps its text narrowly.
            box->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 380px; }"));
            box->setWindowModality(Qt::WindowModal);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->button(QMessageBox::Ok)->setText(QCoreApplication::translate("Alerts", "OK"));
            box->open();
        },
        Qt::QueuedConnection);
}

} // namespace Alerts
