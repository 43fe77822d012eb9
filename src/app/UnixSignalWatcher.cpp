#include "UnixSignalWatcher.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The write end of the watcher's pipe, for the handler; -1 while there is no watcher.
std::atomic<int> g_writeEnd {-1};

extern "C" void writeSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    const int writeEnd = g_writeEnd.load();
    if (writeEnd >= 0) {
        const unsigned char number = static_cast<unsigned char>(signalNumber);
        // Nothing can be done about a full pipe inside a handler; the signal is then dropped.
        [[maybe_unused]] const ssize_t written = ::write(writeEnd, &number, 1);
    }
    errno = savedErrno;
}

} // namespace

UnixSignalWatcher::UnixSignalWatcher(const QList<int>& signalNumbers, QObject* parent)
    : QObject(parent)
{
    Q_ASSERT(g_writeEnd.load() == -1);
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Cannot watch Unix signals: %s", std::strerror(errno));
        return;
    }
    g_writeEnd.store(m_pipe[1]);
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignalWatcher::readPipe);

    struct sigaction action
    { };
    action.sa_handler = writeSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : signalNumbers) {
        struct sigaction previous
        { };
        if (::sigaction(signalNumber, &action, &previous) == 0)
            m_previousActions.append({signalNumber, previous});
    }
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    for (const auto& [signalNumber, previous] : m_previousActions)
        ::sigaction(signalNumber, &previous, nullptr);
    if (m_pipe[0] < 0)
        return;
    g_writeEnd.store(-1);
    delete m_notifier;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void UnixSignalWatcher::readPipe()
{
    unsigned char numbers[16];
    ssize_t count = 0;
    while ((count = ::read(m_pipe[0], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            Q_EMIT signalReceived(numbers[i]);
    }
}
