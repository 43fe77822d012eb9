#include "views/Toast.h"

#include "views/ScheduledAnimation.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

using namespace std::chrono_literals;

namespace {

constexpr auto kToastSlideDuration = 300ms;

} // namespace

Toast::Toast(QWidget* host, Scheduler& scheduler, int bottomMargin)
    : QLabel(host)
    , m_slide(new ScheduledAnimation(scheduler, this))
    , m_bottomMargin(bottomMargin)
{
    setObjectName(QStringLiteral("toast"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setContentsMargins(16, 10, 16, 10);
    setAlignment(Qt::AlignCenter);
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, Qt::white);
    setPalette(colors);
    host->installEventFilter(this);
    connect(m_slide, &ScheduledAnimation::valueChanged, this, [this](qreal y) { move(x(), qRound(y)); });
    connect(m_slide, &ScheduledAnimation::finished, this, [this] {
        if (!m_showing)
            hide();
    });
    hide();
}

void Toast::showMessage(const QString& message)
{
    if (message.isNull()) {
        if (!m_showing)
            return;
        m_showing = false;
        m_slide->start(y(), hiddenY(), kToastSlideDuration, QEasingCurve::InOutQuad);
        return;
    }
    setText(message);
    setAccessibleName(message);
    adjustSize();
    const bool wasShowing = m_showing;
    m_showing = true;
    show();
    raise();
    if (wasShowing) {
        place();
        return;
    }
    move((parentWidget()->width() - width()) / 2, hiddenY());
    m_slide->start(hiddenY(), restingY(), kToastSlideDuration, QEasingCurve::InOutQuad);
}

void Toast::setReservedBottom(int pixels)
{
    m_reservedBottom = pixels;
    place();
}

int Toast::restingY() const
{
    return parentWidget()->height() - m_reservedBottom - m_bottomMargin - height();
}

int Toast::hiddenY() const
{
    return parentWidget()->height();
}

void Toast::place()
{
    if (!m_slide->isRunning())
        move((parentWidget()->width() - width()) / 2, m_showing ? restingY() : hiddenY());
    else
        move((parentWidget()->width() - width()) / 2, y());
}

bool Toast::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        place();
    return QLabel::eventFilter(watched, event);
}

void Toast::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), 10, 10);
        painter.fillPath(shape, QColor(0, 0, 0, 178));
    }
    QLabel::paintEvent(event);
}
