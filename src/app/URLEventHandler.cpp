#include "URLEventHandler.h"

#include "core/Console.h"
#include "views/Alerts.h"
#include "views/ReceivedURL.h"
#include "views/WindowActivation.h"

#include <QMetaObject>
#include <QWidget>

URLEventHandler::URLEventHandler(Console& console, QObject* parent)
    : QObject(parent)
    , m_console(console)
{ }

void URLEventHandler::setWindow(QWidget* window)
{
    m_window = window;
}

void URLEventHandler::handleURLEvent(const std::optional<QString>& directObject)
{
    const std::optional<ReceivedURL> url = ReceivedURL::parse(directObject.value_or(QString()));
    if (!url) {
        m_console.print(QStringLiteral("❌ Invalid URL event received"));
        return;
    }
    Q_EMIT urlReceived(*url);
}

void URLEventHandler::handleURL(const ReceivedURL& url)
{
    m_console.print(QStringLiteral("🔗 App: Received URL: ") + url.text());
    QMetaObject::invokeMethod(
        this, [this] { WindowActivation::bringToFront(m_window); }, Qt::QueuedConnection);
    if (url.scheme() != QLatin1String("tidewhelk")) {
        m_console.print(QStringLiteral("❓ App: Unknown URL scheme: ") + url.text());
        return;
    }
    m_console.print(QStringLiteral("ℹ️ OAuth: URL received but device flow doesn't use callbacks: ") + url.text());
    Alerts::showInformation(m_window, tr("URL Received (Device Flow)"),
        tr("URL: %1\n\nNote: Device flow doesn't use URL callbacks, authentication happens in browser.")
            .arg(url.text()));
}
