#include "views/BottomArea.h"

#include "views/ColorPalette.h"
#include "views/ScheduledAnimation.h"
#include "views/SlidingPanel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

using namespace std::chrono_literals;

namespace {

constexpr auto kResizeDuration = 350ms;
constexpr QSize kHandleSize(60, 6);
constexpr int kHandleTop = 10;
// Room above the panel for the handle.
constexpr int kPanelTop = 22;

} // namespace

BottomArea::BottomArea(ContentFactory content, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent)
    , m_content(std::move(content))
    , m_scheduler(scheduler)
    , m_height(new ScheduledAnimation(scheduler, this))
{
    setObjectName(QStringLiteral("archivedArea"));
    setAccessibleName(tr("Archived assignments"));
    setToolTip(tr("Show or hide the archived assignments"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedHeight(closedHeight);
    connect(m_height, &ScheduledAnimation::valueChanged, this, [this](qreal value) { setFixedHeight(qRound(value)); });
}

void BottomArea::setOpen(bool open)
{
    if (open == m_open)
        return;
    m_open = open;
    m_height->start(height(), open ? openHeight : closedHeight, kResizeDuration, QEasingCurve::InOutQuad);
    if (open) {
        auto* panel = new SlidingPanel(m_content(), m_scheduler, this);
        connect(panel, &SlidingPanel::slidOut, this, [this] { setOpen(false); });
        m_panel = panel;
        placePanel();
        panel->show();
        panel->slideIn();
    } else if (m_panel) {
        m_panel->hide();
        m_panel->deleteLater();
        m_panel = nullptr;
    }
    Q_EMIT openChanged(open);
}

void BottomArea::placePanel()
{
    if (!m_panel)
        return;
    m_panel->setGeometry(8, 0, width() - 16, openHeight - kPanelTop);
    m_panel->move(8, height() - m_panel->height() + m_panel->offset());
}

void BottomArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePanel();
}

void BottomArea::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath handle;
    handle.addRoundedRect(
        QRectF(QPointF((width() - kHandleSize.width()) / 2.0, kHandleTop), QSizeF(kHandleSize)), 3, 3);
    painter.fillPath(handle, ColorPalette(palette()).color(ColorPalette::Name::Gray, hasFocus() ? 0.9 : 0.6));
}

void BottomArea::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressedAt = event->position().toPoint();
        m_dragged = false;
    }
}

void BottomArea::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressedAt || m_dragged)
        return;
    const int dy = event->position().toPoint().y() - m_pressedAt->y();
    if (std::abs(dy) < SlidingPanel::dragThreshold)
        return;
    // Up opens the panel, down puts it away.
    m_dragged = true;
    setOpen(dy < 0);
}

void BottomArea::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressedAt)
        return;
    m_pressedAt.reset();
    if (!m_dragged)
        setOpen(!m_open);
}

void BottomArea::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        setOpen(!m_open);
        return;
    }
    QWidget::keyPressEvent(event);
}
