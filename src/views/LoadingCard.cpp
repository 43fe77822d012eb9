#include "views/LoadingCard.h"

#include "views/BusyIndicator.h"
#include "views/Fonts.h"

#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

constexpr qreal kCornerRadius = 12;

} // namespace

LoadingCard::LoadingCard(const QString& text, QWidget* over, const Style& style)
    : QFrame(over)
{
    setObjectName(QStringLiteral("loadingCard"));
    setAccessibleName(text);
    setAttribute(Qt::WA_TranslucentBackground);
    auto* indicator = new BusyIndicator(style.indicatorSize, this);
    auto* label = new QLabel(text, this);
    label->setFont(Fonts::headline(font()));
    label->setForegroundRole(QPalette::PlaceholderText);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);
    layout->addWidget(indicator, 0, Qt::AlignHCenter);
    layout->addWidget(label, 0, Qt::AlignHCenter);
    if (style.shadow) {
        auto* shadow = new QGraphicsDropShadowEffect(this);
        shadow->setColor(QColor(0, 0, 0, 84));
        shadow->setBlurRadius(16);
        shadow->setOffset(0, 2);
        setGraphicsEffect(shadow);
    }
    over->installEventFilter(this);
    hide();
}

bool LoadingCard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        place();
    return QFrame::eventFilter(watched, event);
}

void LoadingCard::showEvent(QShowEvent* event)
{
    place();
    raise();
    QFrame::showEvent(event);
}

void LoadingCard::place()
{
    adjustSize();
    const QWidget* over = parentWidget();
    move((over->width() - width()) / 2, (over->height() - height()) / 2);
}

void LoadingCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);
    painter.fillPath(card, palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawPath(card);
}
