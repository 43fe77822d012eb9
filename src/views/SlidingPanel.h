#pragma once

#include <QPointer>
#include <QWidget>

#include <optional>

class Scheduler;
class ScheduledAnimation;

// A panel that slides up into its place when shown and can be dragged down: it follows a
// downward drag of at least 10 pixels (anywhere on it, its content included), slides out
// when let go more than 100 pixels down, and springs back otherwise. Its content sits on
// a rounded card of the window's colour.
class SlidingPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int dragThreshold = 10;
    static constexpr int dismissDistance = 100;

    SlidingPanel(QWidget* content, Scheduler& scheduler, QWidget* parent = nullptr);

    // How far below its place the panel is.
    int offset() const { return m_offset; }
    // Starts below the bottom edge and slides into place.
    void slideIn();

Q_SIGNALS:
    // Let go far enough down: the panel slid out of view.
    void slidOut();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Takes the mouse events of `widget` and its children, for dragging.
    void watch(QWidget* widget);
    void setOffset(int offset);
    int hiddenOffset() const;

    QWidget* m_content;
    ScheduledAnimation* m_slide;
    int m_offset = 0;
    std::optional<QPoint> m_pressedAt;
    bool m_dragging = false;
};
