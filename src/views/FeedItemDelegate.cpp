#include "views/FeedItemDelegate.h"

#include "views/EmojiPixmaps.h"
#include "views/Fonts.h"
#include "views/RowHighlights.h"
#include "views/Symbols.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QTableView>
#include <QToolTip>

namespace {

constexpr int kLinkTarget = -2;
constexpr int kGlyphSpacing = 6;
// A few screens of rows, laid out text and all.
constexpr int kKeptRows = 200;
// Faded, yet readable in both palettes.
constexpr qreal kDimmedOpacity = 0.45;
// A group's header stands out from the records in either palette.
constexpr qreal kHeaderBandOpacity = 0.16;
constexpr int kDisclosureSize = 9;

QRect contentRect(const QRect& cell)
{
    return cell.adjusted(FeedItemDelegate::padding, 0, -FeedItemDelegate::padding, 0);
}

QList<FeedCells::Action> actionsOf(const QModelIndex& index)
{
    return index.data(FeedCells::ActionsRole).value<QList<FeedCells::Action>>();
}

FeedCells::Kind kindOf(const QModelIndex& index)
{
    return index.data(FeedCells::KindRole).value<FeedCells::Kind>();
}

QColor colorOf(const std::optional<ColorPalette::Name>& name, const QPalette& palette)
{
    return name ? ColorPalette(palette).color(*name) : palette.color(QPalette::Text);
}

QString withShortcut(const FeedCells::Action& action)
{
    if (action.shortcut.isEmpty())
        return action.label;
    return FeedItemDelegate::tr("%1 (%2)").arg(action.label, action.shortcut.toString(QKeySequence::NativeText));
}

QAbstractItemView* viewOf(const QStyleOptionViewItem& option)
{
    return qobject_cast<QAbstractItemView*>(const_cast<QWidget*>(option.widget));
}

} // namespace

FeedItemDelegate::FeedItemDelegate(RowHighlights& highlights, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_highlights(highlights)
{ }

QList<QRect> FeedItemDelegate::actionRects(const QRect& cell, int count, Qt::Alignment alignment)
{
    const QRect content = contentRect(cell);
    const int width = count > 0 ? qMin(actionWidth, content.width() / count) : 0;
    int left = content.left();
    if (alignment & Qt::AlignHCenter)
        left = content.left() + (content.width() - width * count) / 2;
    QList<QRect> rects;
    for (int i = 0; i < count; ++i)
        rects << QRect(left + i * width, cell.top(), width, cell.height());
    return rects;
}

void FeedItemDelegate::forgetRows(int first, int last)
{
    for (int row = first; row <= last; ++row)
        m_cells.remove(row);
}

void FeedItemDelegate::forgetCells()
{
    m_cells.clear();
}

FeedItemDelegate::Cell& FeedItemDelegate::cellOf(const QModelIndex& index) const
{
    // Rows scrolled past are read again if they come back.
    if (m_cells.size() > kKeptRows && !m_cells.contains(index.row()))
        m_cells.clear();
    QHash<int, Cell>& row = m_cells[index.row()];
    const auto known = row.find(index.column());
    if (known != row.end())
        return *known;
    Cell cell;
    const QVariant group = index.data(FeedCells::GroupHeaderRole);
    if (group.isValid()) {
        cell.group = group.value<FeedCells::GroupHeader>();
        return *row.insert(index.column(), std::move(cell));
    }
    cell.kind = kindOf(index);
    cell.alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    switch (cell.kind) {
    case FeedCells::Kind::Actions:
        cell.actions = actionsOf(index);
        break;
    case FeedCells::Kind::Status:
        cell.glyphs = index.data(FeedCells::GlyphsRole).value<QList<Glyph>>();
        break;
    case FeedCells::Kind::Badge:
        cell.badge = index.data(FeedCells::BadgeRole).value<FeedCells::Badge>();
        break;
    case FeedCells::Kind::Link:
        cell.isLink = index.data(FeedCells::LinkRole).toUrl().isValid();
        break;
    case FeedCells::Kind::Text:
    case FeedCells::Kind::Time:
        break;
    }
    if (cell.kind != FeedCells::Kind::Actions && cell.kind != FeedCells::Kind::Badge && cell.glyphs.isEmpty()) {
        cell.text = index.data(Qt::DisplayRole).toString();
        const QString emoji = index.data(FeedCells::EmojiRole).toString();
        if (!emoji.isEmpty() && cell.text.startsWith(emoji)) {
            cell.emoji = emoji;
            cell.text = cell.text.mid(emoji.size());
        }
    }
    return *row.insert(index.column(), std::move(cell));
}

QRect FeedItemDelegate::linkRect(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const QRect content = contentRect(option.rect);
    const QFontMetrics metrics(option.font);
    const int width = qMin(content.width(), metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()));
    return QRect(content.left(), content.center().y() - metrics.height() / 2, width, metrics.height());
}

int FeedItemDelegate::hitTest(const QStyleOptionViewItem& option, const QModelIndex& index, const QPoint& point) const
{
    switch (kindOf(index)) {
    case FeedCells::Kind::Actions: {
        const QList<QRect> rects = actionRects(option.rect, static_cast<int>(actionsOf(index).size()),
            Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()));
        for (int i = 0; i < rects.size(); ++i) {
            const QRect button(rects[i].center() - QPoint(actionIconSize / 2 + 4, actionIconSize / 2 + 4),
                QSize(actionIconSize + 8, actionIconSize + 8));
            if (button.contains(point))
                return i;
        }
        return -1;
    }
    case FeedCells::Kind::Link:
        return index.data(FeedCells::LinkRole).toUrl().isValid() && linkRect(option, index).contains(point)
            ? kLinkTarget
            : -1;
    default:
        return -1;
    }
}

QSize FeedItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QSize text = QStyledItemDelegate::sizeHint(option, index);
    return {text.width() + 2 * padding, qMax(text.height(), actionIconSize) + 2 * padding};
}

void FeedItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    Cell& cell = cellOf(index);
    if (cell.group) {
        paintGroupHeader(painter, option, index, *cell.group);
        return;
    }
    const QColor background = m_highlights.background(index, option.palette);
    if (background.alpha() > 0)
        painter->fillRect(option.rect, background);
    if (option.state & QStyle::State_Selected) {
        QColor selection = option.palette.color(QPalette::Highlight);
        selection.setAlphaF((option.state & QStyle::State_Active) ? 0.28f : 0.16f);
        painter->fillRect(option.rect, selection);
    }
    // The painter goes on to the next cell: the dimming ends with this one.
    const qreal opacity = painter->opacity();
    if (index.data(FeedCells::DimmedRole).toBool())
        painter->setOpacity(opacity * kDimmedOpacity);

    switch (cell.kind) {
    case FeedCells::Kind::Actions:
        paintActions(painter, option, cell);
        break;
    case FeedCells::Kind::Status:
        if (cell.glyphs.isEmpty())
            paintText(painter, option, index, cell);
        else
            paintGlyphs(painter, option, cell.glyphs);
        break;
    case FeedCells::Kind::Badge:
        paintBadge(painter, option, cell.badge);
        break;
    case FeedCells::Kind::Link:
    case FeedCells::Kind::Text:
    case FeedCells::Kind::Time:
        paintText(painter, option, index, cell);
        break;
    }
    painter->setOpacity(opacity);
}

void FeedItemDelegate::paintActions(QPainter* painter, const QStyleOptionViewItem& option, const Cell& cell) const
{
    const QList<QRect> rects = actionRects(option.rect, static_cast<int>(cell.actions.size()), cell.alignment);
    const qreal ratio = painter->device()->devicePixelRatioF();
    for (int i = 0; i < cell.actions.size(); ++i) {
        const FeedCells::Action& action = cell.actions[i];
        const QPixmap icon
            = Symbols::pixmap(action.symbol, colorOf(action.color, option.palette), actionIconSize, ratio);
        const QRect target(rects[i].center() - QPoint(actionIconSize / 2 - 1, actionIconSize / 2 - 1),
            QSize(actionIconSize, actionIconSize));
        painter->drawPixmap(target, icon);
    }
}

void FeedItemDelegate::paintGlyphs(
    QPainter* painter, const QStyleOptionViewItem& option, const QList<Glyph>& glyphs) const
{
    const QRect content = contentRect(option.rect);
    const ColorPalette colors(option.palette);
    const qreal ratio = painter->device()->devicePixelRatioF();
    int left = content.left();
    for (const Glyph& glyph : glyphs) {
        const QRect target(left, content.center().y() - glyph.size / 2 + 1, glyph.size, glyph.size);
        painter->drawPixmap(target, Symbols::pixmap(glyph.symbol, colors.color(glyph.color), glyph.size, ratio));
        left += glyph.size + kGlyphSpacing;
    }
}

void FeedItemDelegate::paintBadge(
    QPainter* painter, const QStyleOptionViewItem& option, const FeedCells::Badge& badge) const
{
    const QFont font = Fonts::caption(option.font);
    const QFontMetrics metrics(font);
    const QRect content = contentRect(option.rect);
    const QSize size(metrics.horizontalAdvance(badge.text) + 12, metrics.height() + 4);
    const QRect patch(QPoint(content.left(), content.center().y() - size.height() / 2 + 1), size);
    const ColorPalette colors(option.palette);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(patch), 4, 4);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(shape, colors.color(badge.color, 0.2));
    painter->setFont(font);
    painter->setPen(colors.color(badge.color));
    painter->drawText(patch, Qt::AlignCenter, badge.text);
    painter->restore();
}

void FeedItemDelegate::paintText(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index, Cell& cell) const
{
    QRect content = contentRect(option.rect);
    if (!cell.emoji.isEmpty()) {
        const QPixmap drawn = EmojiPixmaps::pixmap(cell.emoji, option.font, painter->device()->devicePixelRatioF());
        const QSize size = drawn.deviceIndependentSize().toSize();
        painter->drawPixmap(QPoint(content.left(), content.center().y() - size.height() / 2 + 1), drawn);
        content.setLeft(content.left() + size.width());
    }
    if (cell.shownWidth != content.width()) {
        // Laid out once: cut short only when it does not fit.
        cell.shown = QStaticText(cell.text);
        cell.shown.setTextFormat(Qt::PlainText);
        cell.shown.prepare(QTransform(), option.font);
        if (cell.shown.size().width() > content.width()) {
            cell.shown.setText(option.fontMetrics.elidedText(cell.text, Qt::ElideRight, content.width()));
            cell.shown.prepare(QTransform(), option.font);
        }
        cell.shownWidth = content.width();
    }
    const QFont previousFont = painter->font();
    const QPen previousPen = painter->pen();
    // A style that fills selected rows with the highlight gets text of its own colour.
    const QStyle* style = option.widget ? option.widget->style() : nullptr;
    const bool onHighlight = (option.state & QStyle::State_Selected) && style
        && style->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, &option, option.widget);
    painter->setPen(option.palette.color(
        onHighlight ? QPalette::HighlightedText : (cell.isLink ? QPalette::Link : QPalette::Text)));
    if (cell.isLink && index == m_hoveredLink) {
        QFont underlined = option.font;
        underlined.setUnderline(true);
        painter->setFont(underlined);
        painter->drawText(content, Qt::AlignLeft | Qt::AlignVCenter, cell.shown.text());
    } else {
        painter->setFont(option.font);
        painter->drawStaticText(
            QPoint(content.left(), content.top() + (content.height() - option.fontMetrics.height()) / 2), cell.shown);
    }
    painter->setFont(previousFont);
    painter->setPen(previousPen);
}

void FeedItemDelegate::paintGroupHeader(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
    const FeedCells::GroupHeader& group) const
{
    // Each cell draws its share of what is laid out across the whole row.
    const auto* table = qobject_cast<const QTableView*>(option.widget);
    const int left = table ? table->columnViewportPosition(0) : option.rect.left();
    const int width = table ? table->viewport()->width() - left : option.rect.width();
    const QRect row(left, option.rect.top(), width, option.rect.height());
    const ColorPalette colors(option.palette);
    painter->save();
    painter->setClipRect(option.rect, Qt::IntersectClip);
    painter->fillRect(option.rect, colors.color(ColorPalette::Name::Gray, kHeaderBandOpacity));
    const QColor background = m_highlights.background(index, option.palette);
    if (background.alpha() > 0)
        painter->fillRect(option.rect, background);
    // The header has no selection; it shows where the keyboard is.
    if (table && table->currentIndex().row() == index.row()) {
        QColor current = option.palette.color(QPalette::Highlight);
        current.setAlphaF(table->hasFocus() ? 0.28f : 0.16f);
        painter->fillRect(option.rect, current);
    }
    painter->setPen(colors.color(ColorPalette::Name::Gray, 0.5));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());

    const QRect content = contentRect(row);
    const QColor text = option.palette.color(QPalette::Text);
    const QRectF triangle(
        content.left(), content.center().y() - kDisclosureSize / 2.0 + 1, kDisclosureSize, kDisclosureSize);
    QPainterPath disclosure;
    if (group.expanded) {
        disclosure.moveTo(triangle.left(), triangle.top() + 1.5);
        disclosure.lineTo(triangle.right(), triangle.top() + 1.5);
        disclosure.lineTo(triangle.center().x(), triangle.bottom() - 0.5);
    } else {
        disclosure.moveTo(triangle.left() + 1.5, triangle.top());
        disclosure.lineTo(triangle.right() - 0.5, triangle.center().y());
        disclosure.lineTo(triangle.left() + 1.5, triangle.bottom());
    }
    disclosure.closeSubpath();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(disclosure, text);

    const QFont bold = Fonts::headline(option.font);
    const QFontMetrics boldMetrics(bold);
    QRect name = content.adjusted(kDisclosureSize + kGlyphSpacing, 0, 0, 0);
    painter->setFont(bold);
    painter->setPen(text);
    painter->drawText(name, Qt::AlignLeft | Qt::AlignVCenter, group.repository);
    name.setLeft(name.left() + boldMetrics.horizontalAdvance(group.repository));
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::PlaceholderText));
    painter->drawText(name, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral(" (%1)").arg(group.count));
    painter->restore();
}

bool FeedItemDelegate::editorEvent(
    QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const auto type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
        && type != QEvent::MouseButtonDblClick)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int target = hitTest(option, index, mouse->position().toPoint());
    QAbstractItemView* view = viewOf(option);

    if (type == QEvent::MouseMove) {
        if (view)
            view->viewport()->setCursor(target == -1 ? Qt::ArrowCursor : Qt::PointingHandCursor);
        const QModelIndex hoveredLink = target == kLinkTarget ? index : QModelIndex();
        if (hoveredLink != m_hoveredLink && view) {
            if (m_hoveredLink.isValid())
                view->update(m_hoveredLink);
            m_hoveredLink = hoveredLink;
            if (hoveredLink.isValid())
                view->update(hoveredLink);
        }
        return false;
    }
    if (mouse->button() != Qt::LeftButton || target == -1)
        return false;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        m_pressed = index;
        m_pressedTarget = target;
        return true;
    }
    // Released over what it was pressed on.
    const bool clicked = m_pressed == index && m_pressedTarget == target;
    m_pressed = QPersistentModelIndex();
    m_pressedTarget = -1;
    if (!clicked)
        return false;
    if (target == kLinkTarget)
        Q_EMIT linkActivated(index.data(FeedCells::LinkRole).toUrl());
    else
        Q_EMIT actionTriggered(index, actionsOf(index).at(target).id);
    return true;
}

bool FeedItemDelegate::helpEvent(
    QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const int target = hitTest(option, index, event->pos());
    QString tip;
    if (target >= 0)
        tip = withShortcut(actionsOf(index).at(target));
    else if (target == kLinkTarget)
        tip = index.data(FeedCells::LinkRole).toUrl().toString();
    else
        tip = index.data(Qt::ToolTipRole).toString();
    if (tip.isEmpty()) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(event->globalPos(), tip, view->viewport(), option.rect);
    return true;
}
