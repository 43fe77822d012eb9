#pragma once

#include "FakeGitHub.h"

#include <QThread>

#include <type_traits>

// The fake GitHub on a thread of its own, so that its work neither slows down nor adds
// to the client's event loop and CPU time. `call` runs a function on the server's
// thread and waits for it.
class ServerThread
{
public:
    ServerThread();
    ~ServerThread();
    ServerThread(const ServerThread&) = delete;
    ServerThread& operator=(const ServerThread&) = delete;

    template <typename Function>
    auto call(Function function)
    {
        using Result = std::invoke_result_t<Function, FakeGitHub&>;
        if constexpr (std::is_void_v<Result>) {
            QMetaObject::invokeMethod(
                m_server, [&] { function(*m_server); }, Qt::BlockingQueuedConnection);
        } else {
            Result result {};
            QMetaObject::invokeMethod(
                m_server, [&] { result = function(*m_server); }, Qt::BlockingQueuedConnection);
            return result;
        }
    }

private:
    QThread m_thread;
    FakeGitHub* m_server;
};
