#include "ui/input/drawing/plotter.h"

#include <cfloat>
#include <cmath>
#include <string>

#include "text/number.h"

namespace cbeam::drawing_detail {
namespace {

float F(double v) {
    return static_cast<float>(v);
}

// Canvases this size or larger are not pictures any more; their integer
// coordinates would no longer fit the 32-bit arithmetic of the layout.
constexpr double kMaxExtent = 1e9;

}  // namespace

void Plotter::Box(double x1, double y1, double x2, double y2, Rgb colour) {
    if (!Fits(x1) || !Fits(y1) || !Fits(x2) || !Fits(y2)) return;
    m_canvas.Box(F(x1), F(y1), F(x2), F(y2), colour);
}

void Plotter::Circle(double x, double y, double r) {
    if (!Fits(x) || !Fits(y) || !Fits(r)) return;
    m_canvas.Circle(F(x), F(y), F(r));
}

void Plotter::PrintCentred(double centreX, double top, std::string_view text) {
    const double left = centreX - 100.0 * CountChars(text) / 2;
    if (!Fits(left) || !Fits(top)) return;
    m_canvas.Print(F(left), F(top), text);
}

int CountChars(std::string_view utf8) {
    int n = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++n;
    }
    return n;
}

std::optional<std::int32_t> RoundToInt(double v) {
    const double r = RoundHalfEven(v);
    if (!std::isfinite(r) || std::fabs(r) > kMaxExtent) return std::nullopt;
    return static_cast<std::int32_t>(r);
}

bool UsableHeight(double H) {
    return std::isfinite(H) && std::fabs(H) < kMaxExtent;
}

std::optional<XMapping> BeamXMapping(const BeamState& s, double W) {
    // A canvas of 1200 units or less leaves no room between the two margins.
    if (!(W > 1200) || !(W < kMaxExtent)) return std::nullopt;
    if (s.N < 1 || s.L.Count() < s.N) return std::nullopt;
    XMapping m;
    const auto xR = RoundToInt(W - 600);
    if (!xR) return std::nullopt;
    m.xR = *xR;
    for (int i = 1; i <= s.N; ++i) m.Ltot += s.L(i);
    if (!std::isfinite(m.Ltot) || !(m.Ltot > 0)) return std::nullopt;
    m.kx = (m.xR - 600) / m.Ltot;
    if (!std::isfinite(m.kx) || !(m.kx > 0)) return std::nullopt;
    return m;
}

}  // namespace cbeam::drawing_detail
