#pragma once

#include <QWidget>

#include <functional>
#include <optional>

class Scheduler;
class ScheduledAnimation;
class SlidingPanel;

// The Assignments tab's bottom area: 50 pixels with a grab handle while closed, 300 while
// open, with a sliding panel (the archived assignments) that a fresh content is built for
// at each opening. A click on the area opens or closes it; a drag on it of at least 10
// pixels opens it upwards and closes it downwards. The panel, dragged down far enough,
// slides out and the area closes.
class BottomArea : public QWidget
{
    Q_OBJECT

public:
    static constexpr int closedHeight = 50;
    static constexpr int openHeight = 300;

    using ContentFactory = std::function<QWidget*()>;

    BottomArea(ContentFactory content, Scheduler& scheduler, QWidget* parent = nullptr);

    bool isOpen() const { return m_open; }
    void setOpen(bool open);
    // The panel while the area is open.
    SlidingPanel* panel() const { return m_panel; }

Q_SIGNALS:
    void openChanged(bool open);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void placePanel();

    ContentFactory m_content;
    Scheduler& m_scheduler;
    ScheduledAnimation* m_height;
    // Owned as a child; replaced at each opening.
    SlidingPanel* m_panel = nullptr;
    bool m_open = false;
    std::optional<QPoint> m_pressedAt;
    bool m_dragged = false;
};
