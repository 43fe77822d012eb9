// The preference file read at start-up, from any bytes: every cache, mark, date and
// switch PersistenceService and the controllers load. Whatever the file holds, loading
// gives values or defaults, and what is stored next reads back, since a file that
// cannot be read is replaced by the next write.

#include "FuzzSupport.h"
#include "core/SystemScheduler.h"
#include "storage/Environment.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

using FuzzSupport::require;

namespace {

struct Loaded
{
    std::optional<QSet<QString>> readIds;
    bool autoReload = false;
    QDateTime lastPullDate;
};

Loaded loadEverything(PreferenceStore& store, SystemScheduler& scheduler)
{
    Environment environment;
    environment.scheduler = &scheduler;
    environment.preferences = &store;
    const PersistenceService persistence(environment);
    persistence.loadNotifications(PreferenceKeys::notificationsCacheKey);
    persistence.loadNotifications(PreferenceKeys::favoritesKey);
    persistence.loadDates(PreferenceKeys::stoppedWatchingKey);
    persistence.loadIssues(PreferenceKeys::issuesCacheKey);
    persistence.loadIssues(PreferenceKeys::archivedIssuesKey);
    persistence.loadIssues(PreferenceKeys::issueFavoritesKey);
    persistence.getLastPullDate(true);
    store.boolValue(PreferenceKeys::autoReloadAssignments);
    store.string(PreferenceKeys::githubToken);
    return {persistence.loadIds(PreferenceKeys::readNotificationsKey), store.boolValue(PreferenceKeys::autoReload),
        persistence.getLastPullDate(false)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzSupport::ensureApplication();
    static QTemporaryDir directory;
    static SystemScheduler scheduler;
    static qint64 inputs = 0;
    const QString path = directory.filePath(QStringLiteral("tidewhelk.ini"));
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(FuzzSupport::bytes(data, size)) == qint64(size),
        "the input is written to the preference file");
    // Qt keeps a parsed settings file while its size and modification time stay the same:
    // a time of its own for each input makes it read every input. One name for all keeps
    // that cache from growing, which would make every input look like a leak.
    require(file.setFileTime(QDateTime::fromSecsSinceEpoch(++inputs, QTimeZone::utc()), QFile::FileModificationTime),
        "each input has a modification time of its own");
    file.close();

    const QSet<QString> readIds {QStringLiteral("11002")};
    const QDateTime pulled(QDate(2026, 12, 5), QTime(22, 16, 37, 123), QTimeZone::utc());
    {
        PreferenceStore store(path);
        loadEverything(store, scheduler);
        Environment environment;
        environment.scheduler = &scheduler;
        environment.preferences = &store;
        PersistenceService persistence(environment);
        persistence.save(readIds, PreferenceKeys::readNotificationsKey);
        persistence.setLastPullDate(pulled, false);
        store.setBool(PreferenceKeys::autoReload, true);
    }
    PreferenceStore store(path);
    const Loaded loaded = loadEverything(store, scheduler);
    require(loaded.readIds == readIds && loaded.autoReload && loaded.lastPullDate == pulled,
        "what is stored after loading any file reads back");
    return 0;
}
