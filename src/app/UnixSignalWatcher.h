#pragma once

#include <QList>
#include <QObject>

#include <csignal>

class QSocketNotifier;

// Turns Unix signals (Ctrl-C's SIGINT, SIGTERM…) into a Qt signal on the thread that
// owns the watcher, so that a command-line mode can stop cleanly from its event loop.
// The handler only writes the signal's number to a pipe; the watcher reads it back.
// One watcher at a time; the previous handlers return when it is destroyed.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignalWatcher(const QList<int>& signalNumbers, QObject* parent = nullptr);
    ~UnixSignalWatcher() override;
    UnixSignalWatcher(const UnixSignalWatcher&) = delete;
    UnixSignalWatcher& operator=(const UnixSignalWatcher&) = delete;

Q_SIGNALS:
    void signalReceived(int signalNumber);

private:
    void readPipe();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    QList<std::pair<int, struct sigaction>> m_previousActions;
};
