#include "views/TintedSvgIcon.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QSvgRenderer>

TintedSvgIcon::TintedSvgIcon(QString svgPath, std::optional<QColor> color)
    : m_svgPath(std::move(svgPath))
    , m_color(std::move(color))
{ }

QPixmap TintedSvgIcon::render(const QString& svgPath, const QColor& color, int pixelSize)
{
    const QString cacheKey = QStringLiteral("tidewhelk-symbol:%1:%2:%3")
                                 .arg(svgPath, QString::number(color.rgba(), 16), QString::number(pixelSize));
    QPixmap cached;
    if (QPixmapCache::find(cacheKey, &cached))
        return cached;

    QImage image(pixelSize, pixelSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QSvgRenderer renderer(svgPath);
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, pixelSize, pixelSize));
    }
    // Ink is the darkness of each pixel: black strokes become the colour, white
    // knock-outs (a check inside a filled disc) become transparent.
    const QRgb tint = color.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int ink = qAlpha(line[x]) * (255 - qGray(line[x])) / 255 * color.alpha() / 255;
            line[x] = qRgba(qRed(tint), qGreen(tint), qBlue(tint), ink);
        }
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    QPixmapCache::insert(cacheKey, pixmap);
    return pixmap;
}

QColor TintedSvgIcon::colorFor(QIcon::Mode mode) const
{
    const QPalette palette = QGuiApplication::palette();
    if (m_color) {
        if (mode != QIcon::Disabled)
            return *m_color;
        QColor faded = *m_color;
        faded.setAlphaF(0.4f);
        return faded;
    }
    switch (mode) {
    case QIcon::Disabled:
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case QIcon::Selected:
        return palette.color(QPalette::HighlightedText);
    case QIcon::Normal:
    case QIcon::Active:
        break;
    }
    return palette.color(QPalette::WindowText);
}

void TintedSvgIcon::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
}

QPixmap TintedSvgIcon::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap TintedSvgIcon::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale)
{
    const int side = qRound(qMin(size.width(), size.height()) * scale);
    QPixmap pixmap = render(m_svgPath, colorFor(mode), qMax(side, 1));
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QIconEngine* TintedSvgIcon::clone() const
{
    return new TintedSvgIcon(m_svgPath, m_color);
}

QString TintedSvgIcon::key() const
{
    return QStringLiteral("TintedSvgIcon");
}

bool TintedSvgIcon::isNull()
{
    return m_svgPath.isEmpty();
}
