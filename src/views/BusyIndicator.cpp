#include "views/BusyIndicator.h"

#include <QPainter>

using namespace std::chrono_literals;

BusyIndicator::BusyIndicator(int diameter, QWidget* parent)
    : QWidget(parent)
    , m_diameter(diameter)
{
    setFixedSize(diameter, diameter);
    setAccessibleName(tr("In progress"));
    m_frames.setInterval(50ms);
    connect(&m_frames, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    // Twelve spokes, fading behind the leading one.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    painter.rotate(m_angle);
    const qreal radius = qMin(width(), height()) / 2.0;
    QColor color = palette().color(QPalette::WindowText);
    QPen pen(color, qMax(1.5, radius / 5.0), Qt::SolidLine, Qt::RoundCap);
    for (int spoke = 0; spoke < 12; ++spoke) {
        color.setAlphaF(static_cast<float>(1.0 - spoke / 13.0));
        pen.setColor(color);
        painter.setPen(pen);
        painter.drawLine(QPointF(0, -radius * 0.5), QPointF(0, -radius * 0.9));
        painter.rotate(-30);
    }
}

void BusyIndicator::showEvent(QShowEvent* event)
{
    m_frames.start();
    QWidget::showEvent(event);
}

void BusyIndicator::hideEvent(QHideEvent* event)
{
    m_frames.stop();
    QWidget::hideEvent(event);
}
