#pragma once

#include <QPainter>

#include "canvas/qt_canvas.h"

namespace cbeam {

// Paints a drawing as vector art through a painter that is already drawing
// on a page, placed and clipped by the painter's own transform and clip.
// Flushes what it holds back when it goes.
class PdfCanvas : public QtCanvas {
  public:
    PdfCanvas(QPainter& painter, QSize logicalSize, double twipsPerVerticalUnit = 1.0)
        : QtCanvas(logicalSize, twipsPerVerticalUnit), m_painter(painter) {}
    ~PdfCanvas() override;

    // A page has no pixels to spare: it gets every primitive.
    DeviceScale Resolution() const override { return {}; }
    // The page is white already and shared with the text around the drawing.
    void Clear() override {}

  protected:
    QPainter& Painter() override { return m_painter; }

  private:
    QPainter& m_painter;
};

}  // namespace cbeam
