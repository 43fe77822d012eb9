#include "core/SystemScheduler.h"

#include <QPointer>
#include <QTimer>

namespace {

class QtTimer final : public TimerHandle::Timer
{
public:
    explicit QtTimer(QTimer* timer)
        : m_timer(timer)
    { }
    ~QtTimer() override { cancel(); }

    void cancel() override
    {
        if (m_timer) {
            m_timer->stop();
            m_timer->disconnect();
            // The handle may be dropped from inside the timer's own tick.
            m_timer->deleteLater();
            m_timer.clear();
        }
    }

    bool isActive() const override { return m_timer && m_timer->isActive(); }

private:
    QPointer<QTimer> m_timer;
};

} // namespace

SystemScheduler::SystemScheduler(QObject* parent)
    : QObject(parent)
{ }

QDateTime SystemScheduler::now() const
{
    return QDateTime::currentDateTimeUtc();
}

void SystemScheduler::singleShot(Duration delay, const QObject* context, Task task)
{
    // A timer of our own rather than QTimer::singleShot, whose task would live until the
    // application object goes, after the services it uses: clear() can drop this one.
    auto* timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, timer, &QObject::deleteLater);
    connect(timer, &QTimer::timeout, context ? context : this, std::move(task));
    timer->start(delay);
}

TimerHandle SystemScheduler::start(Duration delay, Task task)
{
    return startTimer(delay, false, std::move(task));
}

TimerHandle SystemScheduler::startRepeating(Duration interval, Task task)
{
    return startTimer(interval, true, std::move(task));
}

void SystemScheduler::clear()
{
    // Releasing a task may release its owner, which may cancel other timers: collect
    // guarded pointers first.
    QList<QPointer<QTimer>> timers;
    for (QTimer* timer : findChildren<QTimer*>(Qt::FindDirectChildrenOnly))
        timers.append(timer);
    for (const QPointer<QTimer>& timer : timers)
        delete timer.data();
}

TimerHandle SystemScheduler::startTimer(Duration interval, bool repeating, Task task)
{
    auto* timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeating);
    timer->setInterval(interval);
    connect(timer, &QTimer::timeout, this, std::move(task));
    timer->start();
    return TimerHandle(std::make_unique<QtTimer>(timer));
}
