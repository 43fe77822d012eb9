#include "views/EmojiPixmaps.h"

#include "views/Fonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmapCache>

namespace EmojiPixmaps {

QPixmap pixmap(const QString& emoji, const QFont& font, qreal ratio)
{
    const QString key = QStringLiteral("tidewhelk-emoji:") + emoji + u':' + QString::number(font.pointSizeF()) + u':'
        + QString::number(ratio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    const QFont emojiFont = Fonts::emoji(font);
    const QFontMetrics metrics(emojiFont);
    const QSize size(metrics.horizontalAdvance(emoji), metrics.height());
    QPixmap drawn(size * ratio);
    drawn.setDevicePixelRatio(ratio);
    drawn.fill(Qt::transparent);
    {
        QPainter painter(&drawn);
        painter.setFont(emojiFont);
        painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignLeft | Qt::AlignVCenter, emoji);
    }
    QPixmapCache::insert(key, drawn);
    return drawn;
}

} // namespace EmojiPixmaps
