#pragma once

#include <QFrame>
#include <functional>
#include <memory>

#include "canvas/canvas.h"
#include "drawing/layout.h"
#include "ui/common/picture_actions.h"

class QImage;

namespace cbeam {

class DrawingView;
class ImageCanvas;
class ViewCanvas;

// A picture box: a sunken frame around a drawing that keeps what was drawn
// on it. The drawings paint into an image; the widget only shows that image,
// so a repaint never runs any drawing code.
//
// With a view, the drawings see a canvas as wide as the zoomed beam, of
// which the image holds the visible stretch; Ctrl+wheel and +/- zoom, a drag
// pans, a double click shows the whole beam, each followed by `viewChanged`.
class PictureBox : public QFrame {
  public:
    // A drawing area of `inner` logical pixels inside the border, placed at
    // a design position in twips; `scaleY`: twips per vertical canvas unit.
    PictureBox(QWidget* parent, int left, int top, PixelSize inner, double scaleY);
    ~PictureBox() override;

    // The canvas as the drawings see it.
    Canvas& Surface();
    const QImage& Image() const;
    void Clear();
    // A new drawing-area size in logical pixels (the image is cleared).
    void SetInnerSize(QSize inner);
    QSize InnerSize() const;
    // Places the box with its drawing area of `inner` pixels; a new size
    // clears the image.
    void Place(QPoint topLeft, QSize inner);
    // Shares `view` (which outlives this box) and reads it from now on.
    void SetView(DrawingView* view, std::function<void()> viewChanged);
    // Takes the view's stretch for the drawings to come.
    void FollowView();
    // What the box shows when `draw` made its drawing, for the picture
    // actions: its size and the stretch in view.
    Picture Shown(std::function<void(Canvas&)> draw) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void Changed();

    double m_scaleY;
    std::unique_ptr<ImageCanvas> m_canvas;
    std::unique_ptr<ViewCanvas> m_surface;
    DrawingView* m_view = nullptr;
    std::function<void()> m_viewChanged;
    double m_dragX = 0;
    bool m_dragging = false;
};

}  // namespace cbeam
