#pragma once

#include <QObject>

class DebugLogger;
class QDBusConnection;

// Tells the feeds when polls may have been missed: the machine woke from suspend
// (logind's PrepareForSleep going false) or the network came back (Qt's network
// information, where the desktop offers a backend). Without either service it stays
// silent.
class WakeWatcher : public QObject
{
    Q_OBJECT

public:
    explicit WakeWatcher(DebugLogger& logger, QObject* parent = nullptr);

    // Watches logind on the system bus and the network, from the first call on: only
    // feeds with auto-sync on need it, so a run without them connects to neither.
    void watchSystem();
    // Watches logind on `bus`: the system bus, or a test's own.
    void watchSleep(const QDBusConnection& bus);
    void watchNetwork();

Q_SIGNALS:
    void woke();

private Q_SLOTS:
    void sleepChanged(bool sleeping);

private:
    void report(const QString& reason);

    DebugLogger& m_logger;
    bool m_online = true;
    bool m_watchingSystem = false;
};
