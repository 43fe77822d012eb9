#include "views/ScheduledAnimation.h"

#include "core/Scheduler.h"

#include <algorithm>

using namespace std::chrono_literals;

namespace {

// About sixty frames a second.
constexpr auto kFrameInterval = 16ms;

} // namespace

ScheduledAnimation::ScheduledAnimation(Scheduler& scheduler, QObject* parent)
    : QObject(parent)
    , m_scheduler(scheduler)
{ }

void ScheduledAnimation::start(qreal from, qreal to, std::chrono::milliseconds duration, QEasingCurve::Type easing)
{
    m_from = from;
    m_to = to;
    m_duration = duration;
    m_easing = QEasingCurve(easing);
    m_startedAt = m_scheduler.now();
    step();
}

void ScheduledAnimation::stop()
{
    m_timer.cancel();
}

void ScheduledAnimation::step()
{
    const qint64 elapsed = m_startedAt.msecsTo(m_scheduler.now());
    const qreal progress = m_duration.count() > 0 ? qBound(0.0, qreal(elapsed) / qreal(m_duration.count()), 1.0) : 1.0;
    const qreal value = m_from + (m_to - m_from) * m_easing.valueForProgress(progress);
    if (progress >= 1.0) {
        m_timer.cancel();
    } else {
        // The last frame falls exactly on the end.
        const auto remaining = m_duration - std::chrono::milliseconds(elapsed);
        m_timer = m_scheduler.start(std::min<std::chrono::milliseconds>(kFrameInterval, remaining), [this] { step(); });
    }
    Q_EMIT valueChanged(value);
    if (progress >= 1.0)
        Q_EMIT finished();
}
