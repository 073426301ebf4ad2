#include "ui/input/drawingview.h"

#include <algorithm>
#include <cmath>

#include "canvas/canvas.h"
#include "drawing/layout.h"

namespace cbeam {

namespace {
// Room enough per span for its labels; more would only widen the drawing's
// float coordinates past their precision.
constexpr double kMostPixelsPerSpan = 240;
// A short beam may still be looked at closely.
constexpr double kLeastMaxZoom = 16;
// The smallest zoom step, and how many steps lead from the whole beam to the
// largest zoom.
constexpr double kLeastStep = 1.25;
constexpr double kStepsToClosest = 12;
// A revealed span narrower than this many pixels is zoomed to a tenth of the
// picture.
constexpr double kLeastRevealed = 24;
constexpr double kRevealedShare = 0.1;
// The drawings' margins left and right of the beam, in pixels.
constexpr double kMarginPixels = kMargin / kTwipsPerPixel;
}  // namespace

double DrawingView::Step() const {
    // A short beam keeps the steps it always had.
    if (m_maxZoom <= kLeastMaxZoom) return kLeastStep;
    return std::max(kLeastStep, std::pow(m_maxZoom, 1 / kStepsToClosest));
}

void DrawingView::ZoomToSpans(int spans, double anchor) {
    if (spans < 1) return;
    ZoomAt(static_cast<double>(m_spans) / spans / m_zoom, anchor);
}

bool DrawingView::Reveal(double from, double to) {
    if (!std::isfinite(from) || !std::isfinite(to) || from > to) return false;
    const double zoom = m_zoom, offset = m_offset;
    const auto X = [this](double f) {
        return kMarginPixels + f * (FullWidth() - 2 * kMarginPixels);
    };
    const double wide = X(to) - X(from);
    if (wide < kLeastRevealed && wide >= 0) {
        const double target = m_width * kRevealedShare;
        m_zoom *= wide > 0 ? target / wide : m_maxZoom;
        Clamp();
    }
    const double left = X(from), right = X(to);
    if (left < m_offset || right > m_offset + m_width) {
        m_offset = (left + right) / 2 - m_width / 2.0;
        Clamp();
    }
    return m_zoom != zoom || m_offset != offset;
}

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
