#include "ui/input/picturebox.h"

#include <QPainter>

#include "canvas/image_canvas.h"
#include "ui/common/controls.h"

namespace cbeam {

namespace {
constexpr int kBorder = 2;  // the sunken 3D border of a picture box
}

PictureBox::PictureBox(QWidget* parent, int left, int top, PixelSize inner, double scaleY)
    : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorder);
    setGeometry(Px(left), Px(top), inner.width + 2 * kBorder, inner.height + 2 * kBorder);
    m_canvas = std::make_unique<ImageCanvas>(QSize(inner.width, inner.height), scaleY,
                                             devicePixelRatioF());
    // Window-text colour on a picture box's default (button-face) background.
    m_canvas->SetForeground(palette().color(QPalette::WindowText));
    m_canvas->SetBackground(palette().color(QPalette::Button));
    m_canvas->Clear();
}

PictureBox::~PictureBox() = default;

Canvas& PictureBox::Surface() {
    return *m_canvas;
}

const QImage& PictureBox::Image() const {
    return m_canvas->Image();
}

void PictureBox::Clear() {
    m_canvas->Clear();
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), m_canvas->Image());
}

}  // namespace cbeam
