#include "ServerThread.h"

ServerThread::ServerThread()
    : m_server(new FakeGitHub)
{
    m_server->moveToThread(&m_thread);
    m_thread.start();
    if (!call([](FakeGitHub& server) { return server.listen(); }))
        qFatal("the fake GitHub cannot listen on 127.0.0.1");
}

ServerThread::~ServerThread()
{
    call([](FakeGitHub& server) { delete &server; });
    m_thread.quit();
    m_thread.wait();
}
