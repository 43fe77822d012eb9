#pragma once

#include <QAbstractItemView>
#include <QImage>
#include <QList>
#include <QModelIndex>
#include <QPainter>
#include <QRect>
#include <QRegion>

#include <cstdlib>

// A table's row as the user sees it: rendered into an image and read back, so tests aim
// at what is drawn rather than at the rectangles the drawing code computes.
namespace RowPixels {

// The cell of `index` as drawn.
inline QImage render(QAbstractItemView* table, const QModelIndex& index)
{
    const QRect cell = table->visualRect(index);
    QImage image(cell.size(), QImage::Format_ARGB32);
    table->viewport()->render(&image, QPoint(), QRegion(cell));
    return image;
}

inline bool differs(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 60;
}

// The boxes of what is drawn on the background in `image` (the colour of its left edge),
// left to right; ink less than `gap` pixels apart counts as one.
inline QList<QRect> inkBoxes(const QImage& image, int gap = 6)
{
    const QRgb background = image.pixel(0, image.height() / 2);
    QList<QRect> boxes;
    QRect box;
    int blank = 0;
    for (int x = 0; x < image.width(); ++x) {
        int top = -1;
        int bottom = -1;
        for (int y = 0; y < image.height(); ++y) {
            if (differs(image.pixel(x, y), background)) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        }
        if (top < 0) {
            if (box.isValid() && ++blank >= gap) {
                boxes << box;
                box = QRect();
            }
            continue;
        }
        blank = 0;
        const QRect column(x, top, 1, bottom - top + 1);
        box = box.isValid() ? box.united(column) : column;
    }
    if (box.isValid())
        boxes << box;
    return boxes;
}

// Where the buttons of an actions cell are drawn, in the table's viewport: the centres of
// what is drawn in the cell.
inline QList<QPoint> buttonCentres(QAbstractItemView* table, const QModelIndex& actions)
{
    const QPoint origin = table->visualRect(actions).topLeft();
    QList<QPoint> centres;
    for (const QRect& box : inkBoxes(render(table, actions)))
        centres << origin + box.center();
    return centres;
}

} // namespace RowPixels
