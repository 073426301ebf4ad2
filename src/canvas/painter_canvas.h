#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <unordered_map>
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

    void SetForeground(const QColor& colour) {
        m_foreground = colour;
        m_foregroundPixel = qPremultiply(colour.rgba());
    }
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
    // The foreground as a premultiplied ARGB pixel.
    QRgb ForegroundPixel() const { return m_foregroundPixel; }
    // Changes with every SetFont.
    int FontSerial() const { return m_fontSerial; }

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
    QRgb m_foregroundPixel = 0xFF000000u;
    int m_fontSerial = 0;
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
//
// A refresh of the window redraws both pictures after every edit, and a beam
// of tens of thousands of spans hands over about a million primitives. So
// lines, boxes and circles are set straight into the image, one device pixel
// wide and without smoothing, and labels are composed from a cache of glyphs
// that QPainter renders once per character. Where labels crowd together so
// that more than two of one row would stand on the same pixel column, the
// further ones are declined: they could not be read, and composing and
// printing them would cost more than everything else.
class PainterCanvas : public QtCanvas {
  public:
    PainterCanvas(QSize logicalSize, double twipsPerVerticalUnit = 1.0,
                  double devicePixelRatio = 1.0);
    ~PainterCanvas() override;

    // Fills the image with the background colour.
    void Clear() override;
    void Line(float x1, float y1, float x2, float y2) override;
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Circle(float x, float y, float r) override;
    void Print(float x, float y, std::string_view text) override;
    bool WantsLabel(int row, float centreX, float top) override;

    // Everything drawn so far. Drawing afterwards goes on over the same
    // image (a copy taken from it keeps what it had).
    const QImage& Image();
    double DevicePixelRatio() const { return m_dpr; }

  protected:
    QPainter& Painter() override;

  private:
    struct Glyph {
        std::vector<std::uint8_t> alpha;  // coverage, w x h device pixels
        int w = 0, h = 0;
        int left = 0, top = 0;  // from the pen position on the baseline
        double advance = 0;     // device pixels
    };

    std::uint32_t* Bits();
    void End();
    void Plot(int x, int y, std::uint32_t pixel) {
        if (x < 0 || y < 0 || x >= m_w || y >= m_h) return;
        m_bits[static_cast<std::ptrdiff_t>(y) * m_stride + x] = pixel;
    }
    void HLine(int x1, int x2, int y, std::uint32_t pixel);
    void VLine(int x, int y1, int y2, std::uint32_t pixel);
    void DeviceLine(double x1, double y1, double x2, double y2, std::uint32_t pixel);
    void PixelLine(int ax, int ay, int bx, int by, std::uint32_t pixel);
    // Everything drawn from now on in another colour than `pixel` may cover
    // lines remembered as drawn.
    void Touch(std::uint32_t pixel) {
        if (pixel != m_recentPixel) Forget(), m_recentPixel = pixel;
    }
    void Forget() {
        m_recentCount = 0;
        m_circleCount = 0;
    }
    double DX(double x) const { return x * m_sx; }
    double DY(double y) const { return y * m_sy; }
    // Brings the glyph cache and the font's measures up to the current font.
    void SettleFont();
    const Glyph* GlyphFor(char32_t c);
    void Blend(const Glyph& g, int x, int y, QRgb colour);

    double m_dpr = 1.0;
    double m_sx = 1.0, m_sy = 1.0;  // device pixels per canvas unit
    QImage m_image;
    int m_w = 0, m_h = 0;  // device pixels
    std::unique_ptr<QPainter> m_painter;
    std::uint32_t* m_bits = nullptr;  // valid until Image() hands the image out
    int m_stride = 0;                 // pixels per scan line
    std::unordered_map<char32_t, Glyph> m_glyphs;
    int m_glyphFontSerial = -1;
    double m_ascent = 0;      // device pixels
    double m_textHeight = 0;  // device pixels
    // The last few lines set, all in one colour and not covered since by
    // anything of another colour: setting one of them again would change no
    // pixel (a row of load arrows narrower than a pixel repeats itself).
    static constexpr int kRecent = 4;
    struct PixelSegment {
        int ax, ay, bx, by;
    };
    PixelSegment m_recent[kRecent] = {};
    int m_recentCount = 0;
    int m_recentNext = 0;
    std::uint32_t m_recentPixel = 0;
    PixelSegment m_circles[kRecent] = {};  // centre and radius
    int m_circleCount = 0;
    int m_circleNext = 0;
    std::vector<std::pair<int, int>> m_ring;  // pixels of a circle around (0, 0)
    int m_ringRadius = -1;
    // Per label row: the pixel column of the last label, how many stood on
    // it, and whether the column before held more than two.
    static constexpr int kRows = 8;
    int m_lastColumn[kRows] = {};
    int m_run[kRows] = {};
    bool m_crowded[kRows] = {};
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
