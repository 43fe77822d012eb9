#pragma once

#include "ResetCommands.h"
#include "URLEventHandler.h"
#include "core/Environment.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>

class DebugLogWindow;
class MainWindow;
class QAction;
class QMenu;

// The windowed application: the main window with its menus (File, Debug, Help), the URL
// events handed to it, and the "Debug Logs" window, of which there is at most one.
class TidewhelkApp : public QObject
{
    Q_OBJECT

public:
    // The placeholder callback "Test OAuth URL" hands to the URL handler.
    static constexpr auto testOAuthURL = "tidewhelk://oauth/callback?code=test-code-1234&state=test-state-5678";

    explicit TidewhelkApp(const Environment& environment, QObject* parent = nullptr);
    ~TidewhelkApp() override;

    MainWindow& window() const { return *m_window; }
    URLEventHandler& urlEventHandler() { return m_urlEventHandler; }
    // The current debug window, if one was opened.
    DebugLogWindow* debugWindow() const;

    void show();
    // Opens a new debug window in place of the previous one, showing every level.
    void showDebugLogs();
    void runTestOAuthURL();

Q_SIGNALS:
    // The main window was closed: the application should end.
    void quitRequested();

private:
    void installMenus();
    QAction* addCommand(QMenu* menu, const QString& text, const QString& objectName);
    void addReset(QMenu* menu, const QString& text, const QString& objectName,
        std::optional<ResetCommands::Alert> (ResetCommands::*command)());
    void showAbout();

    Environment m_environment;
    ResetCommands m_resets;
    URLEventHandler m_urlEventHandler;
    std::unique_ptr<MainWindow> m_window;
    QPointer<DebugLogWindow> m_debugWindow;
};
