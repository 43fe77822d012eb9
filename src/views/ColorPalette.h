#pragma once

#include <QColor>
#include <QPalette>

// The named colours of the window (states, CI and review outcomes, highlights, toasts,
// log levels), each with a light and a dark variant. Which one applies follows the
// palette the widget is shown with, so a dark desktop theme gets readable colours.
class ColorPalette
{
public:
    enum class Name {
        Green,
        Red,
        Orange,
        Purple,
        Slate,
        Gray,
        Yellow,
        Blue,
    };

    explicit ColorPalette(const QPalette& palette);

    // A palette whose window is darker than its text.
    static bool isDark(const QPalette& palette);

    QColor color(Name name) const;
    QColor color(Name name, qreal opacity) const;

private:
    bool m_dark;
};
