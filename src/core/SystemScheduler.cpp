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
    QTimer::singleShot(delay, Qt::PreciseTimer, context ? context : this, std::move(task));
}

TimerHandle SystemScheduler::start(Duration delay, Task task)
{
    return startTimer(delay, false, std::move(task));
}

TimerHandle SystemScheduler::startRepeating(Duration interval, Task task)
{
    return startTimer(interval, true, std::move(task));
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
