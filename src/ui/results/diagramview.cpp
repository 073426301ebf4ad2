#include "ui/results/diagramview.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "canvas/image_canvas.h"
#include "canvas/view_canvas.h"

namespace cbeam {

DiagramView::DiagramView(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setMinimumSize(200, 100);
}

DiagramView::~DiagramView() = default;

void DiagramView::SetDraw(Draw draw) {
    m_draw = std::move(draw);
    Redraw();
}

void DiagramView::Redraw() {
    const QSize size = contentsRect().size();
    if (size.isEmpty()) return;
    if (!m_canvas || m_canvas->LogicalSize() != size) {
        m_canvas = std::make_unique<ImageCanvas>(size, 1.0, devicePixelRatioF());
        m_canvas->SetForeground(palette().color(QPalette::WindowText));
        m_canvas->SetBackground(palette().color(QPalette::Base));
    }
    m_canvas->Clear();
    if (const std::optional<Picture> shown = Shown()) {
        // A zoomed view: a canvas as wide as the zoomed beam, of which the
        // image holds the visible stretch.
        ViewCanvas view(*m_canvas, shown->fullWidth * kTwipsPerPixel, shown->left * kTwipsPerPixel);
        m_draw(view);
    }
    update();
}

std::optional<Picture> DiagramView::Shown() const {
    const QSize size = contentsRect().size();
    if (!m_draw || size.isEmpty()) return std::nullopt;
    const Stretch s = m_view ? m_view() : Stretch{};
    const double full = size.width() * std::max(1.0, s.zoom);
    return Picture{.size = size,
                   .fullWidth = full,
                   .left = full * std::clamp(s.left, 0.0, 1.0),
                   .draw = m_draw};
}

void DiagramView::SetView(View view) {
    m_view = std::move(view);
    Redraw();
}

void DiagramView::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!m_canvas) return;
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), m_canvas->Image());
}

void DiagramView::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    Redraw();
}

void DiagramView::mousePressEvent(QMouseEvent* event) {
    const std::optional<Picture> shown = Shown();
    if (!m_click || !shown || event->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    const double px = event->position().x() - contentsRect().left();
    m_click((shown->left + px) * kTwipsPerPixel, shown->fullWidth * kTwipsPerPixel);
}

}  // namespace cbeam
