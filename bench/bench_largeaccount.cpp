// A heavy user's account against the fake GitHub: 10,000 notification threads (200 of
// them pull requests, 4,800 issues, the rest check suites, which name no subject
// address) and 2,000 assigned items (the same 200 pull requests and 1,800 issues of
// their own), with ETags, max-age=60 and pages of 50. `tidewhelk --headless --once`
// runs as its own process, as a user runs it, with the token in its preference file.
// Measured: a cold run with 50 ms latency (peak memory, wall time against the network
// bound, time-outs), a warm run with nothing changed (full-cost requests, the HTTP
// cache on disk), a cold run under GitHub's 5,000-request limit (no 403, a pause), and
// the start-up with the large caches while the API is unreachable.

#include "BenchData.h"
#include "LargeAccount.h"
#include "PullRequestStatus.h"
#include "ServerCounts.h"
#include "ServerThread.h"
#include "TestHome.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace {

const QString kToken = QStringLiteral("ghp_largeaccount");
constexpr int kThreads = 10000;
constexpr int kPullRequests = 200;
constexpr int kIssueThreads = 4800;
constexpr int kAssignedIssues = 1800;
constexpr int kLatencyMs = 50;
constexpr int kRunLimitMs = 900000;

QString repositoryOf(int number)
{
    return QStringLiteral("marrowfen/repo-%1").arg(number % 20);
}

// Threads updated in the last days, newest first by number.
QString updatedAt(int index)
{
    return QDateTime::currentDateTimeUtc().addSecs(-60LL * (index + 10)).toString(Qt::ISODate);
}

void serveLargeAccount(FakeGitHub& server)
{
    const GitHubPayloads payloads = server.payloads();
    QJsonArray threads;
    QJsonArray assigned;
    for (int i = 0; i < kThreads; ++i) {
        const int number = i + 1;
        const QString repository = repositoryOf(number);
        const QString type = i < kPullRequests  ? QStringLiteral("PullRequest")
            : i < kPullRequests + kIssueThreads ? QStringLiteral("Issue")
                                                : QStringLiteral("CheckSuite");
        threads.append(payloads.thread({.id = QString::number(9000000000LL + i),
            .repository = repository,
            .type = type,
            .number = number,
            .title = QStringLiteral("Thread %1").arg(number),
            .updatedAt = updatedAt(i)}));
        const QString repo = QStringLiteral("/repos/") + repository;
        if (i < kPullRequests) {
            PullRequestStatus::serve(server, payloads, repository, number);
            assigned.append(payloads.issue({.id = 5000000LL + number,
                .repository = repository,
                .number = number,
                .title = QStringLiteral("Pull request %1").arg(number),
                .pullRequest = true,
                .updatedAt = updatedAt(i)}));
        } else if (i < kPullRequests + kIssueThreads) {
            server.setResource(repo + QStringLiteral("/issues/%1").arg(number),
                payloads.issue({.id = 6000000LL + number, .repository = repository, .number = number}));
        }
    }
    for (int j = 0; j < kAssignedIssues; ++j) {
        const int number = kThreads + 1 + j;
        const QString repository = repositoryOf(number);
        QJsonObject issue = payloads.issue({.id = 6000000LL + number,
            .repository = repository,
            .number = number,
            .title = QStringLiteral("Issue %1").arg(number),
            .updatedAt = updatedAt(j)});
        server.setResource(QStringLiteral("/repos/%1/issues/%2").arg(repository).arg(number), issue);
        assigned.append(issue);
    }
    server.setNotifications(threads);
    server.setAssignedIssues(assigned);
}

// A user's home: the token's fallback copy in the preference file (no keyring here).
std::unique_ptr<TestHome> homeWithToken()
{
    auto home = std::make_unique<TestHome>();
    PreferenceStore preferences;
    preferences.setString(PreferenceKeys::githubToken, kToken);
    preferences.flush();
    return home;
}

QProcessEnvironment environmentFor(const TestHome& home, const QString& apiBase)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.configHome());
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.cacheHome());
    environment.insert(QStringLiteral("TIDEWHELK_API_URL"), apiBase);
    environment.insert(QStringLiteral("TIDEWHELK_WEB_URL"), apiBase);
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return environment;
}

struct Run
{
    int exitCode = -1;
    double wallMs = 0;
    double firstLineMs = 0;
    // The process's peak resident memory, as last seen while it ran.
    double peakMb = 0;
    QList<QByteArray> lines;
};

Run runOnce(const TestHome& home, const QString& apiBase)
{
    QProcess process;
    process.setProcessEnvironment(environmentFor(home, apiBase));
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer wall;
    wall.start();
    process.start(QStringLiteral(TIDEWHELK_EXECUTABLE), {QStringLiteral("--headless"), QStringLiteral("--once")});
    Run run;
    QByteArray output;
    while (process.state() != QProcess::NotRunning || process.bytesAvailable() > 0) {
        if (process.waitForReadyRead(1000) || process.bytesAvailable() > 0) {
            if (output.isEmpty())
                run.firstLineMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
            output += process.readAllStandardOutput();
        }
        // The process's own peak (counted from its exec, unlike the children's figure of
        // getrusage, which includes the fork of this process).
        run.peakMb = std::max(run.peakMb, LargeAccount::peakResidentKiB(process.processId()) / 1024.0);
        if (wall.elapsed() > kRunLimitMs)
            qFatal("tidewhelk did not finish");
    }
    process.waitForFinished();
    run.wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    run.exitCode = process.exitCode();
    run.lines = output.split('\n');
    return run;
}

int linesContaining(const Run& run, const char* text)
{
    return static_cast<int>(std::count_if(
        run.lines.begin(), run.lines.end(), [text](const QByteArray& line) { return line.contains(text); }));
}

struct DiskUse
{
    double apparentMb = 0;
    double allocatedMb = 0;
    int files = 0;
};

DiskUse diskUse(const QString& directory)
{
    DiskUse use;
    QDirIterator files(directory, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        struct stat info
        { };
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            continue;
        use.apparentMb += static_cast<double>(info.st_size) / 1e6;
        use.allocatedMb += static_cast<double>(info.st_blocks) * 512 / 1e6;
        ++use.files;
    }
    return use;
}

ServerCounts countsSince(ServerThread& server, int connectionsBefore)
{
    ServerCounts counts = ServerCounts::of(server);
    counts.connections -= connectionsBefore;
    return counts;
}

// The first console line with the caches of `large`, against a home with only a token,
// alternately, with the API unreachable; and whether that start wrote the preference
// file.
void startUp(const TestHome& large)
{
    constexpr int kRuns = 7;
    const QString unreachable = QStringLiteral("http://127.0.0.1:9");
    const std::unique_ptr<TestHome> empty = homeWithToken();
    const QString file = large.configHome() + QStringLiteral("/tidewhelk/tidewhelk.ini");
    struct stat before
    { };
    ::stat(QFile::encodeName(file).constData(), &before);
    std::vector<double> emptyMs;
    std::vector<double> largeMs;
    for (int run = 0; run < kRuns; ++run) {
        emptyMs.push_back(runOnce(*empty, unreachable).firstLineMs);
        largeMs.push_back(runOnce(large, unreachable).firstLineMs);
    }
    struct stat after
    { };
    ::stat(QFile::encodeName(file).constData(), &after);
    const bool written = before.st_ino != after.st_ino || before.st_mtim.tv_sec != after.st_mtim.tv_sec
        || before.st_mtim.tv_nsec != after.st_mtim.tv_nsec || before.st_size != after.st_size;
    const double emptyMedian = BenchData::median(emptyMs);
    const double largeMedian = BenchData::median(largeMs);
    std::printf("Start-up with the large caches (%.1f MB preference file), API unreachable, median of %d\n",
        static_cast<double>(before.st_size) / 1e6, kRuns);
    std::printf("  first console line %.1f ms, with an empty cache %.1f ms: ratio %.2f (target: at most 2)\n",
        largeMedian, emptyMedian, largeMedian / emptyMedian);
    std::printf("  preference file written: %s (target: no)\n", written ? "yes" : "no");
}

void coldAndWarm(ServerThread& server, const QString& apiBase)
{
    const std::unique_ptr<TestHome> home = homeWithToken();
    server.call([](FakeGitHub& github) {
        github.clearRequests();
        github.setLatency(std::chrono::milliseconds(kLatencyMs));
    });
    const int connectionsBefore = ServerCounts::of(server).connections;
    const Run cold = runOnce(*home, apiBase);
    const ServerCounts coldCounts = countsSince(server, connectionsBefore);
    const double boundMs = static_cast<double>(coldCounts.requests) / coldCounts.connections * kLatencyMs;
    std::printf("Large account, cold, %d ms latency (exit code %d)\n", kLatencyMs, cold.exitCode);
    std::printf("  peak resident memory %.0f MB (target: at most 80)\n", cold.peakMb);
    std::printf("  %d requests (%d full-cost) over %d connections: %.1f s, network bound %.1f s, ratio %.2f "
                "(target: at most 1.3)\n",
        coldCounts.requests, coldCounts.fullCost, coldCounts.connections, cold.wallMs / 1000, boundMs / 1000,
        cold.wallMs / boundMs);
    std::printf("  %d requests timed out (target: none)\n", linesContaining(cold, "timed out"));

    server.call([](FakeGitHub& github) {
        github.clearRequests();
        github.setLatency(std::chrono::milliseconds(0));
    });
    const Run warm = runOnce(*home, apiBase);
    const ServerCounts warmCounts = ServerCounts::of(server);
    const DiskUse cache = diskUse(home->cacheHome() + QStringLiteral("/tidewhelk/http"));
    std::printf("Large account, warm, nothing changed (exit code %d)\n", warm.exitCode);
    std::printf("  %d requests: %d full-cost (target: at most 5), %d answered 304\n", warmCounts.requests,
        warmCounts.fullCost, warmCounts.notModified);
    std::printf("  HTTP cache on disk: %.1f MB in %d files, %.1f MB allocated (target: at most 100 MB)\n",
        cache.apparentMb, cache.files, cache.allocatedMb);

    startUp(*home);
}

// A cold run under GitHub's own limit, with windows of a minute so that the reset
// comes within the benchmark.
void underTheRateLimit(ServerThread& server, const QString& apiBase)
{
    const std::unique_ptr<TestHome> home = homeWithToken();
    server.call([](FakeGitHub& github) {
        github.clearRequests();
        github.setRateLimitWindow(std::chrono::seconds(60));
        github.setRateLimit(5000, 5000);
    });
    const Run run = runOnce(*home, apiBase);
    const ServerCounts counts = ServerCounts::of(server);
    const int refused = server.call([](FakeGitHub& github) { return github.answeredCount(403); });
    std::printf("Large account, cold, rate limit 5,000 per minute-long window (exit code %d)\n", run.exitCode);
    std::printf("  %d requests, %d full-cost, %d answered 403 (target: none); %.1f s\n", counts.requests,
        counts.fullCost, refused, run.wallMs / 1000);
    const auto pause = std::find_if(
        run.lines.begin(), run.lines.end(), [](const QByteArray& line) { return line.contains("[RateLimit] Paused"); });
    std::printf("  pause: %s\n", pause == run.lines.end() ? "none logged" : pause->constData());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ServerThread server;
    const QString apiBase = server.call([](FakeGitHub& github) {
        github.setToken(kToken);
        github.setRateLimit(10'000'000, 10'000'000);
        serveLargeAccount(github);
        return github.url().toString();
    });
    coldAndWarm(server, apiBase);
    underTheRateLimit(server, apiBase);
    return 0;
}
