#pragma once

#include <QString>

class JsonValueReader;

// One commit status a CI service reported: "success", "failure", "error" or "pending".
struct StatusCheck
{
    QString state;
    QString context;

    // Throws DecodingError (see JsonValueReader).
    static StatusCheck fromJson(const JsonValueReader& value);
};
