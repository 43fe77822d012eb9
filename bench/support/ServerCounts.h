#pragma once

class ServerThread;

// What the fake GitHub counted: requests and how they were answered since its requests
// were last cleared, and the connections it accepted since it started listening.
struct ServerCounts
{
    int requests = 0;
    int fullCost = 0; // 2xx with a body: a full transfer that costs rate limit
    int notModified = 0;
    int connections = 0;

    static ServerCounts of(ServerThread& server);
};
