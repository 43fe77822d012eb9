// Saving and loading the two large caches through PersistenceService on a real
// preference file: a 10,000-thread notifications cache and a 2,000-issue assignments
// cache. Loading may cost at most twice the raw QJsonDocument parse of the same bytes;
// both are measured side by side, best of several runs each.

#include "BenchData.h"
#include "core/SystemScheduler.h"
#include "storage/Environment.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr int kThreads = 10000;
constexpr int kIssues = 2000;
constexpr int kRuns = 9;
constexpr double kAllowedRatio = 2.0;

// Threads as the status refresh leaves them: pull requests with their three words.
QList<NotificationPtr> buildThreads()
{
    QJsonArray threads;
    for (const QJsonValue& value : BenchData::exampleThreads(kThreads)) {
        QJsonObject thread = value.toObject();
        QJsonObject subject = thread.value(u"subject"_qs).toObject();
        subject.insert(u"type"_qs, u"PullRequest"_qs);
        subject.insert(u"state"_qs, u"open"_qs);
        subject.insert(u"ciStatus"_qs, u"passing"_qs);
        subject.insert(u"reviewStatus"_qs, u"partially_approved"_qs);
        thread.insert(u"subject"_qs, subject);
        threads.append(thread);
    }
    return std::get<QList<NotificationPtr>>(
        Notification::decodeList(QJsonDocument(threads).toJson(QJsonDocument::Compact)));
}

// GitHub's GET /issues item (a pull request with its repository), made distinct.
QList<IssuePtr> buildIssues()
{
    return std::get<QList<IssuePtr>>(
        Issue::decodeList(QJsonDocument(BenchData::exampleIssues(kIssues)).toJson(QJsonDocument::Compact)));
}

double ms(qint64 nanoseconds)
{
    return static_cast<double>(nanoseconds) / 1e6;
}

struct Figures
{
    qint64 save = std::numeric_limits<qint64>::max();
    qint64 load = std::numeric_limits<qint64>::max();
    qint64 parse = std::numeric_limits<qint64>::max();
    qsizetype bytes = 0;
};

// Saves `list` under `key`, then loads it and parses the stored bytes raw, in turns.
// Both timings include dropping the parsed document; the loaded records are the
// product and are freed outside the timing.
template <typename T, typename Load>
Figures measure(
    PersistenceService& service, PreferenceStore& store, const QList<T>& list, const QString& key, Load load)
{
    Figures figures;
    for (int run = 0; run < kRuns; ++run)
        figures.save = std::min(figures.save, BenchData::nanoseconds([&] { service.save(list, key); }));
    const QByteArray stored = *store.data(key);
    figures.bytes = stored.size();
    for (int run = 0; run < kRuns; ++run) {
        figures.parse = std::min(figures.parse, BenchData::nanoseconds([&] {
            if (QJsonDocument::fromJson(stored).array().size() != list.size())
                qFatal("the raw parse lost items");
        }));
        std::optional<QList<T>> loaded;
        figures.load = std::min(figures.load, BenchData::nanoseconds([&] { loaded = load(service, key); }));
        if (!loaded || loaded->size() != list.size())
            qFatal("loading lost items");
    }
    return figures;
}

void report(const char* what, int count, const Figures& figures)
{
    const double ratio = static_cast<double>(figures.load) / static_cast<double>(figures.parse);
    std::printf("%s, %d items: %.2f MB stored\n", what, count, static_cast<double>(figures.bytes) / 1e6);
    std::printf("  save %.1f ms, load %.1f ms, raw parse %.1f ms (best of %d)\n", ms(figures.save), ms(figures.load),
        ms(figures.parse), kRuns);
    std::printf("  load / raw parse: %.2f (allowed: %.2f) %s\n", ratio, kAllowedRatio,
        ratio <= kAllowedRatio ? "OK" : "TOO SLOW");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("tidewhelk.ini"));
    const QList<NotificationPtr> threads = buildThreads();
    const QList<IssuePtr> issues = buildIssues();

    SystemScheduler scheduler;
    auto store = std::make_unique<PreferenceStore>(path);
    Environment environment;
    environment.scheduler = &scheduler;
    environment.preferences = store.get();
    PersistenceService service(environment);

    const auto loadThreads = [](const PersistenceService& s, const QString& key) { return s.loadNotifications(key); };
    const auto loadIssues = [](const PersistenceService& s, const QString& key) { return s.loadIssues(key); };
    const Figures threadFigures = measure(service, *store, threads, PreferenceKeys::notificationsCacheKey, loadThreads);
    const Figures issueFigures = measure(service, *store, issues, PreferenceKeys::issuesCacheKey, loadIssues);

    const qint64 flush = BenchData::nanoseconds([&] { store->flush(); });
    const qint64 fileBytes = QFileInfo(path).size();
    // The next start: the file is read again and both caches are loaded from it.
    qint64 reopenAndLoad = 0;
    reopenAndLoad = BenchData::nanoseconds([&] {
        store = std::make_unique<PreferenceStore>(path);
        environment.preferences = store.get();
        const PersistenceService restarted(environment);
        if (restarted.loadNotifications(PreferenceKeys::notificationsCacheKey)->size() != kThreads
            || restarted.loadIssues(PreferenceKeys::issuesCacheKey)->size() != kIssues)
            qFatal("the file lost items");
    });

    report("Notifications cache", kThreads, threadFigures);
    report("Assignments cache", kIssues, issueFigures);
    std::printf("Preference file: %.2f MB; writing it %.1f ms; reopening it and loading both caches %.1f ms\n",
        static_cast<double>(fileBytes) / 1e6, ms(flush), ms(reopenAndLoad));

    const bool ok = static_cast<double>(threadFigures.load) <= kAllowedRatio * static_cast<double>(threadFigures.parse)
        && static_cast<double>(issueFigures.load) <= kAllowedRatio * static_cast<double>(issueFigures.parse);
    return ok ? 0 : 1;
}
