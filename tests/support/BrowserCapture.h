#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// Receives the web addresses the window hands to the desktop's browser, for as long as it
// lives, instead of a browser.
class BrowserCapture : public QObject
{
    Q_OBJECT

public:
    BrowserCapture() { QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open"); }
    ~BrowserCapture() override { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }

    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};
