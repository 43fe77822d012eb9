#pragma once

#include "core/Scheduler.h"

#include <QObject>

// The production scheduler: the system clock and QTimer on the thread that owns it.
class SystemScheduler final : public QObject, public Scheduler
{
    Q_OBJECT

public:
    explicit SystemScheduler(QObject* parent = nullptr);

    QDateTime now() const override;
    void singleShot(Duration delay, const QObject* context, Task task) override;
    [[nodiscard]] TimerHandle start(Duration delay, Task task) override;
    [[nodiscard]] TimerHandle startRepeating(Duration interval, Task task) override;

    // Drops all scheduled work without running it, releasing what its tasks hold (a
    // controller kept alive by a delayed step) while the services it uses still exist.
    void clear();

private:
    TimerHandle startTimer(Duration interval, bool repeating, Task task);
};
