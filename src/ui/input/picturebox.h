#pragma once

#include <QFrame>
#include <memory>

#include "canvas/canvas.h"
#include "drawing/layout.h"

class QImage;

namespace cbeam {

class ImageCanvas;

// A picture box: a sunken frame around a drawing that keeps what was drawn
// on it. The drawings paint into an image; the widget only shows that image,
// so a repaint never runs any drawing code.
class PictureBox : public QFrame {
  public:
    // A drawing area of `inner` logical pixels inside the border, placed at
    // a design position in twips; `scaleY`: twips per vertical canvas unit.
    PictureBox(QWidget* parent, int left, int top, PixelSize inner, double scaleY);
    ~PictureBox() override;

    Canvas& Surface();
    const QImage& Image() const;
    void Clear();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::unique_ptr<ImageCanvas> m_canvas;
};

}  // namespace cbeam
