#pragma once

#include <QMainWindow>

class AccountSessions;
class ContentView;

// The application's one main window, "Tidewhelk": the toolbar with "Connect GitHub
// Account" and the content with the three tabs. The application shell adds its menus.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(AccountSessions& sessions, QWidget* parent = nullptr);

    ContentView* contentView() const { return m_contentView; }

Q_SIGNALS:
    // The user closed the window; the application ends with it.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ContentView* m_contentView;
};
