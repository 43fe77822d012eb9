#include "views/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

QFont scaled(const QFont& body, qreal factor, QFont::Weight weight = QFont::Normal)
{
    QFont font = body;
    const qreal size = body.pointSizeF() > 0 ? body.pointSizeF() : 10.0;
    font.setPointSizeF(qMax(7.0, size * factor));
    font.setWeight(weight);
    return font;
}

} // namespace

namespace Fonts {

QFont headline(const QFont& body)
{
    return scaled(body, 1.0, QFont::Bold);
}

QFont subheadline(const QFont& body)
{
    return scaled(body, 0.92);
}

QFont caption(const QFont& body)
{
    return scaled(body, 0.85);
}

QFont title(const QFont& body)
{
    return scaled(body, 1.7);
}

QFont title2(const QFont& body)
{
    return scaled(body, 1.3, QFont::Medium);
}

QFont monospaced(const QFont& sized)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(sized.pointSizeF());
    font.setWeight(sized.weight());
    return font;
}

QFont emoji(const QFont& sized)
{
    QFont font = sized;
    QStringList families;
    families << QStringLiteral("Noto Color Emoji") << QStringLiteral("Twemoji") << sized.family();
    font.setFamilies(families);
    return font;
}

} // namespace Fonts
