#include "VirtualScheduler.h"

#include <QTimeZone>

#include <algorithm>
#include <utility>

struct VirtualScheduler::Entry
{
    QDateTime due;
    quint64 sequence = 0;
    Duration interval {0}; // zero for one-shot work
    bool hasContext = false;
    QPointer<const QObject> context;
    Task task;
    bool cancelled = false;
};

namespace {

class VirtualTimer final : public TimerHandle::Timer
{
public:
    explicit VirtualTimer(std::weak_ptr<VirtualScheduler::Entry> entry)
        : m_entry(std::move(entry))
    { }
    void cancel() override
    {
        if (auto entry = m_entry.lock())
            entry->cancelled = true;
    }
    bool isActive() const override
    {
        auto entry = m_entry.lock();
        return entry && !entry->cancelled;
    }

private:
    std::weak_ptr<VirtualScheduler::Entry> m_entry;
};

} // namespace

QDateTime VirtualScheduler::defaultStart()
{
    return QDateTime(QDate(2026, 12, 5), QTime(22, 16, 37), QTimeZone::utc());
}

VirtualScheduler::VirtualScheduler(const QDateTime& start)
    : m_now(start.toUTC())
{ }

VirtualScheduler::~VirtualScheduler() = default;

void VirtualScheduler::singleShot(Duration delay, const QObject* context, Task task)
{
    schedule(delay, Duration::zero(), context, std::move(task));
}

TimerHandle VirtualScheduler::start(Duration delay, Task task)
{
    return TimerHandle(std::make_unique<VirtualTimer>(schedule(delay, Duration::zero(), nullptr, std::move(task))));
}

TimerHandle VirtualScheduler::startRepeating(Duration interval, Task task)
{
    return TimerHandle(std::make_unique<VirtualTimer>(schedule(interval, interval, nullptr, std::move(task))));
}

void VirtualScheduler::sleep(Duration duration)
{
    m_now = m_now.addMSecs(duration.count());
    for (const std::shared_ptr<Entry>& entry : m_entries)
        entry->due = entry->due.addMSecs(duration.count());
}

std::shared_ptr<VirtualScheduler::Entry> VirtualScheduler::schedule(
    Duration delay, Duration interval, const QObject* context, Task task)
{
    auto entry = std::make_shared<Entry>();
    entry->due = m_now.addMSecs(std::max<qint64>(0, delay.count()));
    entry->sequence = m_sequence++;
    entry->interval = interval;
    entry->hasContext = context != nullptr;
    entry->context = context;
    entry->task = std::move(task);
    m_entries.push_back(entry);
    return entry;
}

void VirtualScheduler::advance(Duration duration)
{
    const QDateTime target = m_now.addMSecs(duration.count());
    for (;;) {
        std::erase_if(m_entries, [](const auto& entry) { return entry->cancelled; });
        auto next = std::min_element(m_entries.begin(), m_entries.end(), [](const auto& a, const auto& b) {
            return a->due != b->due ? a->due < b->due : a->sequence < b->sequence;
        });
        if (next == m_entries.end() || (*next)->due > target)
            break;
        std::shared_ptr<Entry> entry = *next;
        m_now = entry->due;
        if (entry->interval > Duration::zero()) {
            entry->due = m_now.addMSecs(entry->interval.count());
            entry->sequence = m_sequence++;
        } else {
            m_entries.erase(next);
            entry->cancelled = true;
        }
        if (entry->hasContext && !entry->context)
            continue;
        // Keep the task alive while it runs: it may cancel its own timer.
        const Task task = entry->task;
        task();
    }
    m_now = target;
}

int VirtualScheduler::pendingCount() const
{
    return static_cast<int>(
        std::count_if(m_entries.begin(), m_entries.end(), [](const auto& entry) { return !entry->cancelled; }));
}

void VirtualScheduler::clear()
{
    // Releasing a task may release its owner, which may cancel other timers: take the
    // entries out first.
    const auto entries = std::exchange(m_entries, {});
    for (const auto& entry : entries)
        entry->cancelled = true;
}
