#include "ServerCounts.h"

#include "ServerThread.h"

ServerCounts ServerCounts::of(ServerThread& server)
{
    return server.call([](FakeGitHub& github) {
        return ServerCounts {static_cast<int>(github.requests().size()), github.fullCostCount(),
            github.notModifiedCount(), github.connectionCount()};
    });
}
