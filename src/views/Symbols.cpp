#include "views/Symbols.h"

#include "views/TintedSvgIcon.h"

#include <QFile>

#include <algorithm>
#include <array>

namespace {

struct Symbol
{
    const char* name;
    // Names of the freedesktop icon naming scheme (and the common themes) that show
    // the same thing, tried in order for chrome icons; none for coloured symbols.
    std::array<const char*, 3> themeNames;
};

// Shipped drawings live at :/symbols/<name>.svg.
constexpr std::array kSymbols {
    // Tabs, buttons and the sign-in sheet.
    Symbol {"bell", {"notifications", "preferences-desktop-notification-bell", "notification-symbolic"}},
    Symbol {"star", {}},
    Symbol {"star.fill", {}},
    Symbol {"person.crop.circle.badge.checkmark", {"user-identity", "avatar-default-symbolic", "im-user"}},
    Symbol {"link", {"insert-link", "insert-link-symbolic", "link"}},
    Symbol {"doc.on.doc", {"edit-copy", "edit-copy-symbolic", nullptr}},
    // Row actions.
    Symbol {"checkmark.circle", {}},
    Symbol {"checkmark", {}},
    Symbol {"eye.slash", {}},
    Symbol {"arrowshape.turn.up.left", {}},
    // States, CI outcomes and reviews.
    Symbol {"exclamationmark.circle", {}},
    Symbol {"arrow.triangle.branch", {}},
    Symbol {"xmark.circle", {}},
    Symbol {"arrow.triangle.merge", {}},
    Symbol {"pencil.circle", {}},
    Symbol {"checkmark.circle.fill", {}},
    Symbol {"clock.circle", {}},
    Symbol {"xmark.circle.fill", {}},
    Symbol {"clock.circle.fill", {}},
    Symbol {"checkmark.shield.fill", {}},
    Symbol {"x.circle.fill", {}},
    Symbol {"checkmark.circle.trianglebadge.exclamationmark", {}},
    Symbol {"bubble.left.circle.fill", {}},
    Symbol {"eye.circle", {}},
};

const Symbol* find(const QString& name)
{
    const auto found = std::find_if(
        kSymbols.begin(), kSymbols.end(), [&name](const Symbol& symbol) { return name == QLatin1String(symbol.name); });
    return found == kSymbols.end() ? nullptr : &*found;
}

QString svgPath(const QString& name)
{
    return QStringLiteral(":/symbols/") + name + QStringLiteral(".svg");
}

} // namespace

namespace Symbols {

QStringList names()
{
    QStringList result;
    for (const Symbol& symbol : kSymbols)
        result << QLatin1String(symbol.name);
    return result;
}

QIcon icon(const QString& symbol)
{
    const Symbol* entry = find(symbol);
    if (!entry)
        return {};
    for (const char* themeName : entry->themeNames) {
        if (themeName && QIcon::hasThemeIcon(QLatin1String(themeName)))
            return QIcon::fromTheme(QLatin1String(themeName));
    }
    return QIcon(new TintedSvgIcon(svgPath(symbol), std::nullopt));
}

QIcon tinted(const QString& symbol, const QColor& color)
{
    if (!find(symbol))
        return {};
    return QIcon(new TintedSvgIcon(svgPath(symbol), color));
}

QPixmap pixmap(const QString& symbol, const QColor& color, int size, qreal devicePixelRatio)
{
    if (!find(symbol))
        return {};
    QPixmap pixmap = TintedSvgIcon::render(svgPath(symbol), color, qRound(size * devicePixelRatio));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace Symbols
