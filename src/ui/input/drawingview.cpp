#include "ui/input/drawingview.h"

#include <algorithm>
#include <cmath>

namespace cbeam {

namespace {
// Room enough per span for its labels; more would only widen the drawing's
// float coordinates past their precision.
constexpr double kMostPixelsPerSpan = 240;
// A short beam may still be looked at closely.
constexpr double kLeastMaxZoom = 16;
}  // namespace

void DrawingView::SetWidth(int pixels) {
    pixels = std::max(pixels, 1);
    m_offset *= static_cast<double>(pixels) / m_width;
    m_width = pixels;
    SetSpans(m_spans);
}

void DrawingView::SetSpans(int spans) {
    m_spans = std::max(spans, 1);
    m_maxZoom = std::max(kLeastMaxZoom, m_spans * kMostPixelsPerSpan / m_width);
    Clamp();
}

void DrawingView::ZoomAt(double factor, double anchor) {
    if (!std::isfinite(factor) || !(factor > 0) || !std::isfinite(anchor)) return;
    const double old = m_zoom;
    m_zoom = std::clamp(m_zoom * factor, 1.0, m_maxZoom);
    m_offset = (m_offset + anchor) * (m_zoom / old) - anchor;
    Clamp();
}

void DrawingView::PanBy(double pixels) {
    if (!std::isfinite(pixels)) return;
    m_offset -= pixels;
    Clamp();
}

void DrawingView::ShowAll() {
    m_zoom = 1;
    m_offset = 0;
}

void DrawingView::Clamp() {
    m_zoom = std::clamp(m_zoom, 1.0, std::max(1.0, m_maxZoom));
    m_offset = std::clamp(m_offset, 0.0, FullWidth() - m_width);
}

}  // namespace cbeam
