#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

#include "canvas/canvas.h"

class QIODevice;
class QSvgGenerator;

namespace cbeam {

// Twips per logical pixel (96 dots per inch).
constexpr double kTwipsPerPixel = 15.0;
// Twips per vertical unit of the diagram's canvas; the schematic's is 1.
constexpr double kDiagramTwipsPerUnit = 1.1325;

// Draws through a QPainter onto a surface of a given size in logical pixels,
// one horizontal canvas unit being a twip and one vertical unit
// `twipsPerVerticalUnit` twips, as the window's picture boxes measure.
// Lines are one pixel wide whatever the scale; text uses a CJK-capable font
// on a transparent background. Needs a QGuiApplication for its fonts.
class QtCanvas : public Canvas {
  public:
    ~QtCanvas() override;

    double ScaleWidth() const override;
    double ScaleHeight() const override;
    void Line(float x1, float y1, float x2, float y2) override;
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Circle(float x, float y, float r) override;
    void Print(float x, float y, std::string_view text) override;

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

    // The labels' default: 9 points at 96 dpi, in a font that has the Chinese glyphs.
    static QFont DefaultFont();

  protected:
    QtCanvas(QSize logicalSize, double twipsPerVerticalUnit);
    // The painter to draw with, begun on the surface; never null while drawing.
    virtual QPainter& Painter() = 0;
    // Hands the lines held back to the painter.
    void Flush();
    // Forgets lines held back (the surface is about to be wiped).
    void DropPending() { m_pending.clear(); }

  private:
    void Pend(const QLineF& line, const QColor& colour);

    QSize m_size;
    double m_vertical;
    QColor m_foreground{Qt::black};
    QColor m_background{Qt::white};
    QFont m_font;
    double m_ascent = 0;
    bool m_ascentKnown = false;
    // Consecutive lines of one colour are drawn in one call: same colour,
    // same pixels, whatever their order among themselves.
    std::vector<QLineF> m_pending;
    QColor m_pendingColour;
};

// A canvas over a QImage, for the window to show and for PNG export. The
// image has logical size x device pixel ratio pixels and carries that ratio,
// so it is sharp on high-density screens.
class PainterCanvas : public QtCanvas {
  public:
    PainterCanvas(QSize logicalSize, double twipsPerVerticalUnit = 1.0,
                  double devicePixelRatio = 1.0);
    ~PainterCanvas() override;

    // Fills the image with the background colour.
    void Clear() override;
    // Everything drawn so far. Finishes the painting in progress; drawing
    // afterwards goes on over the same image.
    const QImage& Image();
    double DevicePixelRatio() const { return m_image.devicePixelRatio(); }

  protected:
    QPainter& Painter() override;

  private:
    void End();

    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
};

// A canvas that writes an SVG picture, for saving a drawing as vector art.
class SvgCanvas : public QtCanvas {
  public:
    SvgCanvas(const QString& fileName, QSize logicalSize, double twipsPerVerticalUnit = 1.0);
    SvgCanvas(QIODevice* device, QSize logicalSize, double twipsPerVerticalUnit = 1.0);
    ~SvgCanvas() override;

    // Covers the picture with the background colour.
    void Clear() override;
    // Completes the picture; false when it could not be written.
    bool Finish();

  protected:
    QPainter& Painter() override;

  private:
    std::unique_ptr<QSvgGenerator> m_generator;
    std::unique_ptr<QPainter> m_painter;
    bool m_finished = false;
    bool m_written = false;
};

}  // namespace cbeam
