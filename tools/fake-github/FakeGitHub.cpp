#include "FakeGitHub.h"

#include "HttpConnection.h"

#include <QTimer>

using namespace std::chrono_literals;

FakeGitHub::FakeGitHub(QObject* parent)
    : GitHubServer(parent)
{ }

FakeGitHub::~FakeGitHub() = default;

QList<RecordedRequest> FakeGitHub::requestsTo(const QString& path) const
{
    QList<RecordedRequest> matching;
    std::copy_if(m_requests.begin(), m_requests.end(), std::back_inserter(matching),
        [&](const RecordedRequest& r) { return r.path == path; });
    return matching;
}

QList<RecordedRequest> FakeGitHub::requestsUnder(const QString& prefix) const
{
    QList<RecordedRequest> matching;
    std::copy_if(m_requests.begin(), m_requests.end(), std::back_inserter(matching),
        [&](const RecordedRequest& r) { return r.path.startsWith(prefix); });
    return matching;
}

int FakeGitHub::fullCostCount() const
{
    return static_cast<int>(std::count_if(m_requests.begin(), m_requests.end(), [](const RecordedRequest& r) {
        return r.status >= 200 && r.status < 300 && r.status != 204 && r.status != 205;
    }));
}

int FakeGitHub::notModifiedCount() const
{
    return static_cast<int>(
        std::count_if(m_requests.begin(), m_requests.end(), [](const RecordedRequest& r) { return r.notModified(); }));
}

int FakeGitHub::answeredCount(int status) const
{
    return static_cast<int>(std::count_if(m_requests.begin(), m_requests.end(), [status](const RecordedRequest& r) {
        return r.outcome == RecordedRequest::Outcome::Answered && r.status == status;
    }));
}

void FakeGitHub::handle(HttpConnection* connection, const HttpRequest& request)
{
    RecordedRequest record;
    record.sequence = ++m_sequence;
    record.request = request;
    record.path = routePath(request.path);
    m_requests.append(record);
    Q_EMIT requestReceived(record);

    const std::optional<Fault> fault = m_faults.take(request.method, record.path);
    if (fault && fault->kind() == Fault::Kind::NeverAnswer)
        return;
    const std::chrono::milliseconds delay = latency() + (fault ? fault->delay() : 0ms);
    if (delay <= 0ms) {
        finish(connection, record, fault);
        return;
    }
    // The connection is the timer's context: a client that hangs up cancels the reply.
    QTimer::singleShot(
        delay, Qt::PreciseTimer, connection, [this, connection, record, fault] { finish(connection, record, fault); });
}

void FakeGitHub::finish(HttpConnection* connection, const RecordedRequest& record, const std::optional<Fault>& fault)
{
    const auto faultIs = [&fault](Fault::Kind kind) { return fault && fault->kind() == kind; };
    if (faultIs(Fault::Kind::DropConnection)) {
        complete(record, RecordedRequest::Outcome::Dropped, 0);
        connection->drop();
        return;
    }
    HttpResponse response = faultIs(Fault::Kind::Reply) ? fault->response() : answer(record.request, record.path);
    if (faultIs(Fault::Kind::TruncatedBody))
        response.body.truncate(response.body.size() / 2);
    complete(record, RecordedRequest::Outcome::Answered, response.status);
    send(connection, response);
}

void FakeGitHub::complete(RecordedRequest record, RecordedRequest::Outcome outcome, int status)
{
    record.outcome = outcome;
    record.status = status;
    for (auto stored = m_requests.rbegin(); stored != m_requests.rend(); ++stored) {
        if (stored->sequence == record.sequence) {
            *stored = record;
            break;
        }
    }
    Q_EMIT requestHandled(record);
}
