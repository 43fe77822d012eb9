#pragma once

#include <QLabel>

class Scheduler;
class ScheduledAnimation;

// A short message laid over the bottom of a widget, white on translucent black, that
// slides in from below while it has a message and back out when the message goes.
class Toast : public QLabel
{
    Q_OBJECT

public:
    // `bottomMargin` is the gap below the toast when it is in place.
    Toast(QWidget* host, Scheduler& scheduler, int bottomMargin);

    // A null message slides the toast out.
    void showMessage(const QString& message);
    // The toast is on its way in or in place.
    bool isShowing() const { return m_showing; }
    // The host's height the toast keeps clear of at the bottom (a status line below it).
    void setReservedBottom(int pixels);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int restingY() const;
    int hiddenY() const;
    void place();

    ScheduledAnimation* m_slide;
    int m_bottomMargin;
    int m_reservedBottom = 0;
    bool m_showing = false;
};
