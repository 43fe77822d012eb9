#pragma once

#include "Fault.h"
#include "FaultTable.h"
#include "FaultTarget.h"
#include "GitHubServer.h"
#include "RecordedRequest.h"

#include <QList>

#include <optional>

// The GitHub server for tests and benchmarks: it also fails on demand (faults for chosen
// paths and a number of requests) and records every request with what became of it.
class FakeGitHub : public GitHubServer
{
    Q_OBJECT

public:
    static constexpr int always = FaultTable::always;

    explicit FakeGitHub(QObject* parent = nullptr);
    ~FakeGitHub() override;

    // The next `times` requests matching `target` (or all of them, with `always`) fail.
    void injectFault(const FaultTarget& target, const Fault& fault, int times = 1)
    {
        m_faults.add(target, fault, times);
    }
    void clearFaults() { m_faults.clear(); }

    // Every request received since the start or the last clearRequests(), oldest first.
    const QList<RecordedRequest>& requests() const { return m_requests; }
    QList<RecordedRequest> requestsTo(const QString& path) const;
    QList<RecordedRequest> requestsUnder(const QString& prefix) const;
    void clearRequests() { m_requests.clear(); }
    // Requests answered with a body that cost a full transfer (2xx with content; not 304).
    int fullCostCount() const;
    int notModifiedCount() const;
    // Requests answered with `status`, e.g. 403 when the rate limit ran out.
    int answeredCount(int status) const;

Q_SIGNALS:
    void requestReceived(const RecordedRequest& request);
    // The request was answered or its connection dropped on purpose.
    void requestHandled(const RecordedRequest& request);

protected:
    void handle(HttpConnection* connection, const HttpRequest& request) override;

private:
    void finish(HttpConnection* connection, const RecordedRequest& record, const std::optional<Fault>& fault);
    void complete(RecordedRequest record, RecordedRequest::Outcome outcome, int status);

    FaultTable m_faults;
    QList<RecordedRequest> m_requests;
    quint64 m_sequence = 0;
};
