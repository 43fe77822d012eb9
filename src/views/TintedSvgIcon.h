#pragma once

#include <QColor>
#include <QIconEngine>
#include <QString>

#include <optional>

// Paints a monochrome SVG as a mask: black strokes take the colour, white and
// transparency stay clear. Without a fixed colour it follows the application palette,
// so one icon suits light and dark themes and shows its disabled state.
class TintedSvgIcon final : public QIconEngine
{
public:
    TintedSvgIcon(QString svgPath, std::optional<QColor> color);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QIconEngine* clone() const override;
    QString key() const override;
    bool isNull() override;

    // The SVG at `pixelSize` device pixels square in `color`; cached.
    static QPixmap render(const QString& svgPath, const QColor& color, int pixelSize);

private:
    QColor colorFor(QIcon::Mode mode) const;

    QString m_svgPath;
    std::optional<QColor> m_color;
};
