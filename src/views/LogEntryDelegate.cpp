#include "views/LogEntryDelegate.h"

#include "core/LogLevel.h"
#include "views/ColorPalette.h"
#include "views/EmojiPixmaps.h"
#include "views/Fonts.h"
#include "views/LogEntryModel.h"

#include <QListView>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kColumnWidth = 80;
constexpr int kGap = 8;
constexpr int kVerticalMargin = 2;
constexpr int kSideMargin = 6;
constexpr int kMarkWidth = 22;

int availableWidth(const QStyleOptionViewItem& option)
{
    if (const auto* view = qobject_cast<const QListView*>(option.widget))
        return view->viewport()->width() - 2 * view->spacing();
    return option.rect.width();
}

} // namespace

QColor LogEntryDelegate::levelColor(int level, const QPalette& palette)
{
    const ColorPalette colors(palette);
    switch (static_cast<LogLevel>(level)) {
    case LogLevel::Debug:
        return palette.color(QPalette::PlaceholderText);
    case LogLevel::Info:
        return colors.color(ColorPalette::Name::Blue);
    case LogLevel::Warning:
        return colors.color(ColorPalette::Name::Orange);
    case LogLevel::Error:
        return colors.color(ColorPalette::Name::Red);
    case LogLevel::Success:
        return colors.color(ColorPalette::Name::Green);
    }
    return palette.color(QPalette::WindowText);
}

LogEntryDelegate::Columns LogEntryDelegate::columns(const QFont& mono, const QRect& row, const QString& message) const
{
    const QRect inner = row.adjusted(kSideMargin, kVerticalMargin, -kSideMargin, -kVerticalMargin);
    const QFontMetrics metrics(mono);
    const int lineHeight = metrics.height();
    Columns result;
    result.time = QRect(inner.left(), inner.top(), kColumnWidth, lineHeight);
    result.mark = QRect(result.time.right() + kGap, inner.top(), kMarkWidth, lineHeight);
    result.source = QRect(result.mark.right() + kGap, inner.top(), kColumnWidth, lineHeight);
    const int messageLeft = result.source.right() + kGap;
    const int messageWidth = qMax(40, inner.right() - messageLeft);
    const QRect bounds
        = metrics.boundingRect(QRect(0, 0, messageWidth, 100000), Qt::TextWordWrap | Qt::TextWrapAnywhere, message);
    result.message = QRect(messageLeft, inner.top(), messageWidth, qMax(lineHeight, bounds.height()));
    return result;
}

QSize LogEntryDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int width = availableWidth(option);
    const Columns parts = columns(Fonts::monospaced(Fonts::caption(option.font)), QRect(0, 0, width, 0),
        index.data(LogEntryModel::MessageRole).toString());
    return {width, parts.message.height() + 2 * kVerticalMargin};
}

void LogEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QPalette& palette = option.palette;
    const QColor level = levelColor(index.data(LogEntryModel::LevelRole).toInt(), palette);
    const QString message = index.data(LogEntryModel::MessageRole).toString();
    const QFont caption = Fonts::caption(option.font);
    const QFont mono = Fonts::monospaced(caption);
    const Columns parts = columns(mono, option.rect, message);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QColor background = level;
    background.setAlphaF(0.1f);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(option.rect).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    painter->fillPath(shape, background);
    if (option.state & QStyle::State_Selected) {
        QColor selection = palette.color(QPalette::Highlight);
        selection.setAlphaF(0.35f);
        painter->fillPath(shape, selection);
    }

    painter->setFont(mono);
    painter->setPen(palette.color(QPalette::PlaceholderText));
    painter->drawText(parts.time, Qt::AlignLeft | Qt::AlignTop, index.data(LogEntryModel::TimeTextRole).toString());
    painter->drawPixmap(parts.mark.topLeft(),
        EmojiPixmaps::pixmap(
            index.data(LogEntryModel::MarkRole).toString(), caption, painter->device()->devicePixelRatioF()));
    painter->setFont(mono);
    painter->setPen(level);
    painter->drawText(parts.source, Qt::AlignLeft | Qt::AlignTop,
        QFontMetrics(mono).elidedText(
            u'[' + index.data(LogEntryModel::SourceRole).toString() + u']', Qt::ElideRight, parts.source.width()));
    painter->setPen(palette.color(QPalette::Text));
    painter->drawText(parts.message, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere, message);
    painter->restore();
}
