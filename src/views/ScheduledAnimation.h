#pragma once

#include "core/TimerHandle.h"

#include <QDateTime>
#include <QEasingCurve>
#include <QObject>

#include <chrono>

class Scheduler;

// One number moving from a start to an end value over a duration, on the injected
// scheduler's clock: the window's slides, fades and scrolls move with virtual time in
// tests. Frames are scheduled only while it runs, the last one exactly at the end.
class ScheduledAnimation : public QObject
{
    Q_OBJECT

public:
    explicit ScheduledAnimation(Scheduler& scheduler, QObject* parent = nullptr);

    // Starts from `from` (a running animation is replaced); `valueChanged` follows at once.
    void start(
        qreal from, qreal to, std::chrono::milliseconds duration, QEasingCurve::Type easing = QEasingCurve::InOutQuad);
    // Stops where it is.
    void stop();

    bool isRunning() const { return m_timer.isActive(); }

Q_SIGNALS:
    void valueChanged(qreal value);
    void finished();

private:
    void step();

    Scheduler& m_scheduler;
    TimerHandle m_timer;
    QDateTime m_startedAt;
    std::chrono::milliseconds m_duration {0};
    QEasingCurve m_easing;
    qreal m_from = 0;
    qreal m_to = 0;
};
