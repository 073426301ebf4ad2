#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QSize>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "canvas/canvas.h"

namespace cbeam {

// Draws through a QPainter onto a surface of a given size in logical pixels,
// one horizontal canvas unit being a twip and one vertical unit
// `twipsPerVerticalUnit` twips, as the window's picture boxes measure.
// Lines are one pixel wide whatever the scale, without smoothing, like the
// picture boxes' default line; text uses a CJK-capable font on a transparent
// background. Needs a QGuiApplication for its fonts.
class QtCanvas : public Canvas {
  public:
    ~QtCanvas() override;

    double ScaleWidth() const override;
    double ScaleHeight() const override;
    DeviceScale Resolution() const override;
    DeviceScale LabelScale() const override;
    void Line(float x1, float y1, float x2, float y2) override;
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Circle(float x, float y, float r) override;
    void Print(float x, float y, std::string_view text) override;
    // Measured with the canvas font's metrics.
    double TextWidth(std::string_view text) const override;

    void SetForeground(const QColor& colour) { m_foreground = colour; }
    QColor Foreground() const { return m_foreground; }
    void SetBackground(const QColor& colour) { m_background = colour; }
    QColor Background() const { return m_background; }
    void SetFont(const QFont& font);
    QFont Font() const { return m_font; }

    QSize LogicalSize() const { return m_size; }
    double TwipsPerVerticalUnit() const { return m_vertical; }
    // Where a point in canvas units lands, in logical pixels.
    QPointF ToPixels(double x, double y) const;

    // The labels' default: 12 pixels, in a font that has the Chinese glyphs.
    static QFont DefaultFont();

  protected:
    // Changes with every SetFont.
    int FontSerial() const { return m_fontSerial; }
    QtCanvas(QSize logicalSize, double twipsPerVerticalUnit, double devicePixelRatio = 1.0);
    // The painter to draw with, begun on the surface; never null while drawing.
    virtual QPainter& Painter() = 0;
    // Hands the lines held back to the painter.
    void Flush();
    // Forgets lines held back (the surface is about to be wiped).
    void DropPending() { m_pending.clear(); }

  private:
    void Pend(QLineF line, const QColor& colour);

    QSize m_size;
    double m_vertical;
    double m_dpr;
    QColor m_foreground{Qt::black};
    QColor m_background{Qt::white};
    QFont m_font;
    int m_fontSerial = 0;
    double m_ascent = 0;
    bool m_ascentKnown = false;
    // A refresh measures mostly the labels of the last one again, and
    // shaping a string costs more than drawing it.
    mutable std::optional<QFontMetricsF> m_metrics;
    mutable std::unordered_map<std::string, double> m_widths;
    // Consecutive lines of one colour are drawn in one call: same colour,
    // same pixels, whatever their order among themselves.
    std::vector<QLineF> m_pending;
    QColor m_pendingColour;
};

}  // namespace cbeam
