#include "ui/results/diagramview.h"

#include <QPainter>

#include "canvas/image_canvas.h"

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
    if (m_draw) m_draw(*m_canvas);
    update();
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

}  // namespace cbeam
