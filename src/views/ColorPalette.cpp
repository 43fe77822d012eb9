#include "views/ColorPalette.h"

ColorPalette::ColorPalette(const QPalette& palette)
    : m_dark(isDark(palette))
{ }

bool ColorPalette::isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightnessF() < palette.color(QPalette::WindowText).lightnessF();
}

QColor ColorPalette::color(Name name) const
{
    // Light values are the sRGB colours the table and row rules name; dark values keep
    // the hue and lift what would sink into a dark background.
    switch (name) {
    case Name::Green:
        return m_dark ? QColor::fromRgbF(0.22f, 0.78f, 0.46f) : QColor::fromRgbF(0.16f, 0.68f, 0.38f);
    case Name::Red:
        return m_dark ? QColor::fromRgbF(0.96f, 0.36f, 0.42f) : QColor::fromRgbF(0.84f, 0.23f, 0.29f);
    case Name::Orange:
        return m_dark ? QColor::fromRgbF(0.98f, 0.72f, 0.26f) : QColor::fromRgbF(0.9f, 0.65f, 0.18f);
    case Name::Purple:
        return m_dark ? QColor::fromRgbF(0.66f, 0.5f, 0.96f) : QColor::fromRgbF(0.44f, 0.26f, 0.76f);
    case Name::Slate:
        return m_dark ? QColor::fromRgbF(0.66f, 0.69f, 0.73f) : QColor::fromRgbF(0.55f, 0.58f, 0.62f);
    case Name::Gray:
        return m_dark ? QColor(0x98, 0x98, 0x9d) : QColor(0x8e, 0x8e, 0x93);
    case Name::Yellow:
        return m_dark ? QColor(0xff, 0xd6, 0x0a) : QColor(0xff, 0xcc, 0x00);
    case Name::Blue:
        return m_dark ? QColor(0x0a, 0x84, 0xff) : QColor(0x00, 0x7a, 0xff);
    }
    Q_UNREACHABLE();
}

QColor ColorPalette::color(Name name, qreal opacity) const
{
    QColor result = color(name);
    result.setAlphaF(static_cast<float>(opacity));
    return result;
}
