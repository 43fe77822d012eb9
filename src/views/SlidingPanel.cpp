#include "views/SlidingPanel.h"

#include "views/ScheduledAnimation.h"

#include <QChildEvent>
#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

using namespace std::chrono_literals;

namespace {

constexpr auto kSlideDuration = 350ms;
constexpr int kMargin = 8;
constexpr qreal kCornerRadius = 10;

} // namespace

SlidingPanel::SlidingPanel(QWidget* content, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent)
    , m_content(content)
    , m_slide(new ScheduledAnimation(scheduler, this))
{
    setObjectName(QStringLiteral("slidingPanel"));
    content->setParent(this);
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 84));
    shadow->setBlurRadius(20);
    shadow->setOffset(0, 0);
    setGraphicsEffect(shadow);
    watch(this);
    connect(m_slide, &ScheduledAnimation::valueChanged, this, [this](qreal value) { setOffset(qRound(value)); });
}

void SlidingPanel::watch(QWidget* widget)
{
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>())
        child->installEventFilter(this);
}

int SlidingPanel::hiddenOffset() const
{
    return parentWidget() ? parentWidget()->height() : height();
}

void SlidingPanel::slideIn()
{
    setOffset(hiddenOffset());
    m_slide->start(m_offset, 0, kSlideDuration, QEasingCurve::InOutQuad);
}

void SlidingPanel::setOffset(int offset)
{
    m_offset = offset;
    if (parentWidget())
        move(x(), parentWidget()->height() - height() + offset);
}

void SlidingPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_content->setGeometry(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin));
}

void SlidingPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);
    painter.fillPath(card, palette().color(QPalette::Window));
}

bool SlidingPanel::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
            watch(child);
        return false;
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_pressedAt = mouse->globalPosition().toPoint();
            m_dragging = false;
        }
        return false;
    }
    case QEvent::MouseMove: {
        if (!m_pressedAt)
            return false;
        const int dy = static_cast<QMouseEvent*>(event)->globalPosition().toPoint().y() - m_pressedAt->y();
        if (!m_dragging && std::abs(dy) < dragThreshold)
            return false;
        m_dragging = true;
        m_slide->stop();
        // Upward drags do not move it.
        setOffset(qMax(0, dy));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!m_pressedAt)
            return false;
        const int dy = static_cast<QMouseEvent*>(event)->globalPosition().toPoint().y() - m_pressedAt->y();
        const bool dragged = m_dragging;
        m_pressedAt.reset();
        m_dragging = false;
        if (!dragged)
            return false;
        if (dy > dismissDistance) {
            connect(m_slide, &ScheduledAnimation::finished, this, &SlidingPanel::slidOut, Qt::SingleShotConnection);
            m_slide->start(m_offset, hiddenOffset(), kSlideDuration, QEasingCurve::InOutQuad);
        } else {
            m_slide->start(m_offset, 0, kSlideDuration, QEasingCurve::OutBack);
        }
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}
