#include "views/WindowPlacement.h"

#include <QStringList>

#include <algorithm>

namespace WindowPlacement {

namespace {

constexpr int kTitleBarHeight = 32;
constexpr QSize kReachable(64, 16);

} // namespace

QString encode(const QRect& geometry)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(geometry.x())
        .arg(geometry.y())
        .arg(geometry.width())
        .arg(geometry.height());
}

std::optional<QRect> decode(const QString& text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return QRect(values[0], values[1], values[2], values[3]);
}

QRect onScreen(const QRect& geometry, const QList<QRect>& screens, const QRect& primary)
{
    const QRect titleBar(geometry.x(), geometry.y(), geometry.width(), kTitleBarHeight);
    const bool reachable = std::any_of(screens.begin(), screens.end(), [&](const QRect& screen) {
        const QRect shown = screen.intersected(titleBar);
        return shown.width() >= kReachable.width() && shown.height() >= kReachable.height();
    });
    if (reachable)
        return geometry;
    QRect moved(QPoint(), geometry.size().boundedTo(primary.size()));
    moved.moveCenter(primary.center());
    return moved;
}

} // namespace WindowPlacement
