#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "canvas/qt_canvas.h"

class QIODevice;
class QSvgGenerator;

namespace cbeam {

// A canvas that writes an SVG picture, for saving a drawing as vector art.
class SvgCanvas : public QtCanvas {
  public:
    SvgCanvas(const QString& fileName, QSize logicalSize, double twipsPerVerticalUnit = 1.0);
    // `detail`: 0 for every primitive, or the finest grid worth drawing, in
    // points per logical pixel; a long beam's picture then holds what a
    // reader can tell apart when zooming in that far, not megabytes of
    // primitives on top of each other.
    SvgCanvas(QIODevice* device, QSize logicalSize, double twipsPerVerticalUnit = 1.0,
              double detail = 0);
    ~SvgCanvas() override;

    DeviceScale Resolution() const override;
    // Covers the picture with the background colour.
    void Clear() override;
    // Completes the picture; false when it could not be written.
    bool Finish();

  protected:
    QPainter& Painter() override;

  private:
    std::unique_ptr<QSvgGenerator> m_generator;
    std::unique_ptr<QPainter> m_painter;
    double m_detail = 0;
    bool m_finished = false;
    bool m_written = false;
};

// The SVG bytes of what `draw` paints on an SvgCanvas of these arguments,
// made in memory so that they reach a file only through a checked write;
// empty when the picture could not be made.
QByteArray SvgBytes(QSize logicalSize, double twipsPerVerticalUnit, double detail,
                    const std::function<void(SvgCanvas&)>& draw);

}  // namespace cbeam
