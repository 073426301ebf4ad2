#pragma once

#include <QFrame>
#include <functional>
#include <memory>

#include "canvas/canvas.h"
#include "ui/common/picture_actions.h"

namespace cbeam {

class ImageCanvas;

// A sunken frame showing a drawing over its whole inner area, one canvas
// unit a twip both ways. The drawing is made again when the frame is resized
// or Redraw is called, never in a repaint.
class DiagramView : public QFrame {
  public:
    using Draw = std::function<void(Canvas&)>;
    // The part of the beam in view: the zoom (1: the whole beam) and the
    // share of the zoomed drawing left of the visible stretch.
    struct Stretch {
        double zoom = 1, left = 0;
    };
    using View = std::function<Stretch()>;
    explicit DiagramView(QWidget* parent = nullptr);
    ~DiagramView() override;

    // What to draw from now on; an empty one leaves the area blank.
    void SetDraw(Draw draw);
    void Redraw();
    // Draws the stretch `view` gives from now on (another window's zoom).
    void SetView(View view);
    // Called with the canvas x under a left click and the canvas width it was
    // drawn on (the zoomed width), while something is shown.
    using Click = std::function<void(double x, double width)>;
    void SetClick(Click click) { m_click = std::move(click); }
    // The drawing as shown, for the picture actions; nullopt while blank.
    std::optional<Picture> Shown() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    Draw m_draw;
    View m_view;
    Click m_click;
    std::unique_ptr<ImageCanvas> m_canvas;
};

}  // namespace cbeam
