#include "views/StatusLine.h"

#include "views/ColorPalette.h"

#include <QPainter>
#include <QPainterPath>

StatusLine::StatusLine(qreal cornerRadius, QWidget* parent)
    : QLabel(parent)
    , m_cornerRadius(cornerRadius)
{
    setObjectName(QStringLiteral("statusLine"));
    setContentsMargins(10, 6, 10, 6);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    hide();
}

void StatusLine::setMessage(const QString& message)
{
    setText(message);
    setAccessibleName(message);
    setVisible(!message.isNull());
}

void StatusLine::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath band;
        band.addRoundedRect(QRectF(rect()), m_cornerRadius, m_cornerRadius);
        painter.fillPath(band, ColorPalette(palette()).color(ColorPalette::Name::Gray, 0.2));
    }
    QLabel::paintEvent(event);
}
