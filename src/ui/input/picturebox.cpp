#include "ui/input/picturebox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

#include "canvas/image_canvas.h"
#include "canvas/view_canvas.h"
#include "ui/common/controls.h"
#include "ui/input/drawingview.h"

namespace cbeam {

namespace {
constexpr int kBorder = 2;  // the sunken 3D border of a picture box
// Z zooms to this many spans across the picture.
constexpr int kSpansAcross = 10;
}  // namespace

PictureBox::PictureBox(QWidget* parent, int left, int top, PixelSize inner, double scaleY)
    : QFrame(parent), m_scaleY(scaleY) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorder);
    setGeometry(Px(left), Px(top), inner.width + 2 * kBorder, inner.height + 2 * kBorder);
    SetInnerSize(QSize(inner.width, inner.height));
}

PictureBox::~PictureBox() = default;

void PictureBox::SetInnerSize(QSize inner) {
    m_canvas = std::make_unique<ImageCanvas>(inner, m_scaleY, devicePixelRatioF());
    // Window-text colour on a picture box's default (button-face) background.
    m_canvas->SetForeground(palette().color(QPalette::WindowText));
    m_canvas->SetBackground(palette().color(QPalette::Button));
    m_canvas->Clear();
    FollowView();
    update();
}

void PictureBox::Place(QPoint topLeft, QSize inner) {
    setGeometry(QRect(topLeft, inner + QSize(2 * kBorder, 2 * kBorder)));
    if (inner != InnerSize()) SetInnerSize(inner);
}

QSize PictureBox::InnerSize() const {
    return m_canvas->LogicalSize();
}

void PictureBox::SetView(DrawingView* view, std::function<void()> viewChanged) {
    m_view = view;
    m_viewChanged = std::move(viewChanged);
    setFocusPolicy(Qt::ClickFocus);
    FollowView();
}

void PictureBox::FollowView() {
    const Picture shown = Shown({});
    const double full =
        shown.fullWidth > 0 ? shown.fullWidth * kTwipsPerPixel : m_canvas->ScaleWidth();
    m_surface = std::make_unique<ViewCanvas>(*m_canvas, full, shown.left * kTwipsPerPixel);
}

Picture PictureBox::Shown(std::function<void(Canvas&)> draw) const {
    // A view of another width is about to be resized to this box's.
    const bool zoomed = m_view != nullptr && m_view->Width() == InnerSize().width();
    return Picture{.size = InnerSize(),
                   .twipsPerUnitY = m_scaleY,
                   .fullWidth = zoomed ? m_view->FullWidth() : 0.0,
                   .left = zoomed ? m_view->Offset() : 0.0,
                   .draw = std::move(draw)};
}

Canvas& PictureBox::Surface() {
    return *m_surface;
}

const QImage& PictureBox::Image() const {
    return m_canvas->Image();
}

void PictureBox::Clear() {
    m_canvas->Clear();
    update();
}

void PictureBox::Changed() {
    if (m_viewChanged) m_viewChanged();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), m_canvas->Image());
}

void PictureBox::wheelEvent(QWheelEvent* event) {
    if (m_view == nullptr || !(event->modifiers() & Qt::ControlModifier)) {
        QFrame::wheelEvent(event);
        return;
    }
    const double notches = event->angleDelta().y() / 120.0;
    m_view->ZoomAt(std::pow(m_view->Step(), notches),
                   event->position().x() - contentsRect().left());
    Changed();
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool in = key == Qt::Key_Plus || key == Qt::Key_Equal;
    const bool across = key == Qt::Key_Z;
    if (m_view == nullptr || (!in && !across && key != Qt::Key_Minus)) {
        QFrame::keyPressEvent(event);
        return;
    }
    if (across) {
        m_view->ZoomToSpans(kSpansAcross, m_view->Width() / 2.0);
    } else {
        m_view->ZoomAt(in ? m_view->Step() : 1 / m_view->Step(), m_view->Width() / 2.0);
    }
    Changed();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (m_view != nullptr && event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragX = event->position().x();
    }
    QFrame::mousePressEvent(event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return;
    const double x = event->position().x();
    m_view->PanBy(x - m_dragX);
    m_dragX = x;
    Changed();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    QFrame::mouseReleaseEvent(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_view == nullptr) return;
    m_dragging = false;
    m_view->ShowAll();
    Changed();
    event->accept();
}

}  // namespace cbeam
