#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class Console;
class QWidget;
class ReceivedURL;

// Receives the application's URL events: a tidewhelk:// link the desktop opens hands
// its URL to the running window. Sign-in never depends on it (the device flow polls),
// so a URL of the application's scheme is only acknowledged, with an alert. The
// application keeps one handler for its whole life.
class URLEventHandler : public QObject
{
    Q_OBJECT

public:
    explicit URLEventHandler(Console& console, QObject* parent = nullptr);

    // The window alerts are modal to and that comes to the front.
    void setWindow(QWidget* window);

    // A get-URL event with its direct object as text (none when it carried none). A text
    // that is missing, empty or not a URL is reported and dropped; a URL goes on to
    // urlReceived, for the window.
    void handleURLEvent(const std::optional<QString>& directObject);

    // Logs the URL and brings the application to the front; a URL of the "tidewhelk"
    // scheme (exactly so: the comparison is case-sensitive) is acknowledged with an
    // alert. The activation and the alert come on a later turn of the event loop.
    void handleURL(const ReceivedURL& url);

Q_SIGNALS:
    void urlReceived(const ReceivedURL& url);

private:
    Console& m_console;
    QPointer<QWidget> m_window;
};
