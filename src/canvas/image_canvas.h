#pragma once

#include <QByteArray>
#include <QImage>
#include <QStaticText>
#include <memory>
#include <string>
#include <unordered_map>

#include "canvas/pixel_raster.h"
#include "canvas/qt_canvas.h"

namespace cbeam {

// A canvas over a QImage, for the window to show and for PNG export. The
// image has logical size x device pixel ratio pixels and carries that ratio,
// so it is sharp on high-density screens. Lines, boxes and circles are set
// straight into the pixels, one device pixel wide (see PixelRaster); labels
// are painted by QPainter.
class ImageCanvas : public QtCanvas {
  public:
    ImageCanvas(QSize logicalSize, double twipsPerVerticalUnit = 1.0,
                double devicePixelRatio = 1.0);
    ~ImageCanvas() override;

    // Fills the image with the background colour.
    void Clear() override;
    void Line(float x1, float y1, float x2, float y2) override;
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Circle(float x, float y, float r) override;
    void Print(float x, float y, std::string_view text) override;

    // Everything drawn so far. Drawing afterwards goes on over the same
    // image (a copy taken from it keeps what it had).
    const QImage& Image();

  protected:
    QPainter& Painter() override;

  private:
    // The raster, attached to the image's pixels (which detaches them from
    // any copy handed out before).
    PixelRaster& Raster();
    double DX(double x) const { return x * m_sx; }
    double DY(double y) const { return y * m_sy; }

    double m_sx = 0, m_sy = 0;  // device pixels per canvas unit
    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
    PixelRaster m_raster;
    // Labels laid out once: a refresh prints mostly the labels of the last
    // one again, and laying out costs more than painting.
    std::unordered_map<std::string, QStaticText> m_labels;
    int m_labelFont = -1;
};

// The PNG file bytes of `image`; empty when it could not be encoded.
QByteArray PngBytes(const QImage& image);

}  // namespace cbeam
