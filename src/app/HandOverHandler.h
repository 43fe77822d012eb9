#pragma once

#include "InstanceChannel.h"

#include <QObject>

class TidewhelkApp;

// Carries out in the running window what later launches hand over: a launch's URL (or
// bringing the window to the front), and `--add-assignment`, which the window adds as
// its Add Assignment button does and answers with the outcome.
class HandOverHandler : public QObject
{
    Q_OBJECT

public:
    HandOverHandler(InstanceChannel& channel, TidewhelkApp& app, QObject* parent = nullptr);

private:
    void handle(quint64 id, const InstanceChannel::Message& message);
    void addAssignment(quint64 id, const QString& url);

    InstanceChannel& m_channel;
    TidewhelkApp& m_app;
};
