#include "views/EmojiPixmaps.h"

#include "views/Fonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>

#include <algorithm>

namespace {

// The size the picture is drawn at before it is scaled down: the bitmaps of colour
// emoji fonts are about this large, so it keeps their detail.
constexpr int kDrawnPixels = 128;

// The part of `image` that is not transparent.
QRect inkedRect(const QImage& image)
{
    int left = image.width();
    int top = image.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

namespace EmojiPixmaps {

QPixmap pixmap(const QString& emoji, const QFont& font, qreal ratio)
{
    const int height = QFontMetrics(font).height();
    const QString key
        = QStringLiteral("tidewhelk-emoji:") + emoji + u':' + QString::number(height) + u':' + QString::number(ratio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;

    QFont large = Fonts::emoji(font);
    large.setPixelSize(kDrawnPixels);
    const QFontMetrics metrics(large);
    QImage drawn(
        metrics.horizontalAdvance(emoji) + kDrawnPixels / 4, metrics.height(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    {
        QPainter painter(&drawn);
        painter.setFont(large);
        painter.drawText(QPoint(0, metrics.ascent()), emoji);
    }
    const QRect inked = inkedRect(drawn);
    QImage scaled;
    if (inked.isEmpty()) {
        scaled = QImage(QSize(height, height) * ratio, QImage::Format_ARGB32_Premultiplied);
        scaled.fill(Qt::transparent);
    } else {
        scaled = drawn.copy(inked).scaledToHeight(qRound(height * ratio), Qt::SmoothTransformation);
    }
    QPixmap result = QPixmap::fromImage(scaled);
    result.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, result);
    return result;
}

} // namespace EmojiPixmaps
