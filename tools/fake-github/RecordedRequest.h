#pragma once

#include "HttpRequest.h"

#include <QString>

// One request the fake server received, with what became of it.
struct RecordedRequest
{
    enum class Outcome {
        Pending, // not answered (yet): delayed, never answered, or the client went away
        Answered,
        Dropped, // the connection was closed on purpose without an answer
    };

    quint64 sequence = 0; // 1 for the server's first request
    HttpRequest request;
    // The REST path without the API prefix ("/notifications"); other paths as sent.
    QString path;
    Outcome outcome = Outcome::Pending;
    int status = 0; // the status answered, 0 unless answered

    bool notModified() const { return status == 304; }
};
