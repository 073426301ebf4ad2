#include "drawing/design_diagrams.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "drawing/layout.h"
#include "drawing/plotter.h"
#include "text/format.h"

namespace cbeam {
namespace {

using drawing_detail::Plotter;

constexpr Rgb kCurve{50, 50, 255};
enum Row { kLeftRow, kRightRow };

// Room left above and below the curve for a label line.
constexpr double kLabelRoom = 220;

struct Frame {
    XMapping x;
    double y0 = 0;  // the axis
    double ky = 0;  // canvas units per unit of the plotted value
    double X(double d) const { return d * x.kx + kMargin; }
};

// The axis in the middle of the canvas; the largest |value| reaches the
// label room. Empty when the beam gives no horizontal scale.
std::optional<Frame> FrameFor(const BeamState& s, const Canvas& canvas, double largest) {
    const auto m = BeamXMapping(s, canvas.ScaleWidth());
    if (!m) return std::nullopt;
    Frame f{*m, canvas.ScaleHeight() / 2, 0};
    const double half = f.y0 - kLabelRoom;
    if (largest > 0 && std::isfinite(largest) && half > 0) f.ky = half / largest;
    return f;
}

std::string Kn(double v) {
    return Format(v, "0.000");
}

}  // namespace

void DrawShear(const BeamState& s, const DesignValues& design, Canvas& canvas) {
    const int n = s.N;
    if (n < 1 || design.spans.size() < static_cast<std::size_t>(n)) return;
    double largest = 0;
    // Loads are downward, so the shear falls along a span: its ends are its extremes.
    for (int i = 0; i < n; ++i) {
        largest = std::max({largest, std::fabs(design.spans[i].Vl), std::fabs(design.spans[i].Vr)});
    }
    const auto f = FrameFor(s, canvas, largest);
    if (!f) return;
    Plotter p(canvas);
    const auto Y = [&](double v) { return f->y0 - f->ky * v; };
    p.Line(kMargin, f->y0, f->x.xR, f->y0);
    double d = 0;
    for (int i = 1; i <= n; ++i) {
        const auto& v = design.spans[static_cast<std::size_t>(i - 1)];
        const double L = s.L(i), xb = s.A(i) * L;
        std::vector<std::pair<double, double>> pts{{0, v.Vl}};
        if (s.Kind(i) == LoadKind::Uniform) pts.push_back({xb, v.Vr});
        if (s.Kind(i) == LoadKind::Point) pts.insert(pts.end(), {{xb, v.Vl}, {xb, v.Vr}});
        pts.push_back({L, v.Vr});
        p.Stroke(f->X(d), f->y0, f->X(d), Y(v.Vl), kCurve);
        for (std::size_t k = 1; k < pts.size(); ++k) {
            p.Stroke(f->X(d + pts[k - 1].first), Y(pts[k - 1].second), f->X(d + pts[k].first),
                     Y(pts[k].second), kCurve);
        }
        p.Stroke(f->X(d + L), Y(v.Vr), f->X(d + L), f->y0, kCurve);
        const auto top = [&](double value) { return value >= 0 ? Y(value) - 150 : Y(value) + 30; };
        p.Label(kLeftRow, f->X(d) + 300, top(v.Vl), [&] { return Kn(v.Vl); });
        // A span without load has one shear: one label says it.
        if (Kn(v.Vr) != Kn(v.Vl)) {
            p.Label(kRightRow, f->X(d + L) - 300, top(v.Vr), [&] { return Kn(v.Vr); });
        }
        d += L;
    }
}

void DrawDeflection(const BeamState& s, const DesignValues& design, Canvas& canvas) {
    const int n = s.N;
    if (n < 1 || design.spans.size() < static_cast<std::size_t>(n)) return;
    double largest = 0;
    for (int i = 0; i < n; ++i) largest = std::max(largest, std::fabs(design.spans[i].w));
    const auto f = FrameFor(s, canvas, largest);
    if (!f) return;
    Plotter p(canvas);
    const auto Y = [&](double w) { return f->y0 + f->ky * w; };
    p.Line(kMargin, f->y0, f->x.xR, f->y0);
    // Enough samples that a quartic piece looks smooth at a row's width.
    constexpr int kSamples = 24;
    double d = 0;
    for (int i = 1; i <= n; ++i) {
        const auto& v = design.spans[static_cast<std::size_t>(i - 1)];
        const double L = s.L(i);
        const SpanCurve curve(s, i);
        double px = f->X(d), py = Y(curve.Deflection(0));
        for (int k = 1; k <= kSamples; ++k) {
            const double x = L * k / kSamples;
            const double cx = f->X(d + x), cy = Y(curve.Deflection(x));
            p.Stroke(px, py, cx, cy, kCurve);
            px = cx, py = cy;
        }
        p.Line(f->X(d), f->y0 - 40, f->X(d), f->y0 + 40);
        p.Label(kLeftRow, f->X(d + v.xw), v.w >= 0 ? Y(v.w) + 40 : Y(v.w) - 150,
                [&] { return Kn(v.w) + "mm"; });
        d += L;
    }
    p.Line(f->x.xR, f->y0 - 40, f->x.xR, f->y0 + 40);
}

}  // namespace cbeam
