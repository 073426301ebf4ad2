#pragma once

#include <QString>
#include <memory>

#include "canvas/qt_canvas.h"

class QIODevice;
class QSvgGenerator;

namespace cbeam {

// A canvas that writes an SVG picture, for saving a drawing as vector art.
class SvgCanvas : public QtCanvas {
  public:
    SvgCanvas(const QString& fileName, QSize logicalSize, double twipsPerVerticalUnit = 1.0);
    SvgCanvas(QIODevice* device, QSize logicalSize, double twipsPerVerticalUnit = 1.0);
    ~SvgCanvas() override;

    // Vector art has no pixels to spare: it gets every primitive.
    DeviceScale Resolution() const override { return {}; }
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
