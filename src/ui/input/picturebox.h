#pragma once

#include <QFrame>
#include <memory>

#include "canvas/canvas.h"

class QImage;

namespace cbeam {

class PainterCanvas;

// A picture box: a sunken frame around a drawing that keeps what was drawn
// on it. The drawings paint into an image; the widget only shows that image,
// so a repaint never runs any drawing code.
class PictureBox : public QFrame {
  public:
    // `scaleY`: twips per vertical canvas unit (1.0, or 1.1325 for the diagram).
    PictureBox(QWidget* parent, int left, int top, int width, int height, double scaleY);
    ~PictureBox() override;

    Canvas& Surface();
    const QImage& Image() const;
    void Clear();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::unique_ptr<PainterCanvas> m_canvas;
};

}  // namespace cbeam
