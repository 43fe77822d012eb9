#pragma once

#include "core/Scheduler.h"

#include <QPointer>

#include <memory>
#include <vector>

// A scheduler whose time stands still until the test advances it. Due work runs
// in time order (work due at the same moment in the order it was scheduled), and
// "now" is the due time of the work being run.
class VirtualScheduler final : public Scheduler
{
public:
    // 2026-12-05 22:16:37 UTC, a fixed moment so that time stamps in tests are stable.
    static QDateTime defaultStart();

    explicit VirtualScheduler(const QDateTime& start = defaultStart());
    ~VirtualScheduler() override;

    QDateTime now() const override { return m_now; }
    void singleShot(Duration delay, const QObject* context, Task task) override;
    [[nodiscard]] TimerHandle start(Duration delay, Task task) override;
    [[nodiscard]] TimerHandle startRepeating(Duration interval, Task task) override;

    // Moves time forward by `duration`, running everything that falls due on the way,
    // including work scheduled by that work.
    void advance(Duration duration);

    // The machine sleeps for `duration`: the wall clock moves on, but timers, which count
    // time awake, fall due that much later and nothing runs.
    void sleep(Duration duration);

    // Runs what is due now without moving time (work scheduled with no delay).
    void runDue() { advance(Duration::zero()); }

    // Scheduled work that has neither run nor been cancelled (repeating timers count once).
    int pendingCount() const;

    // Drops all scheduled work without running it, releasing whatever it holds.
    void clear();

    struct Entry;

private:
    std::shared_ptr<Entry> schedule(Duration delay, Duration interval, const QObject* context, Task task);

    QDateTime m_now;
    quint64 m_sequence = 0;
    std::vector<std::shared_ptr<Entry>> m_entries;
};
