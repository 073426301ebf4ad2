#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "drawing/drawings.h"
#include "drawing/layout.h"
#include "drawing/plotter.h"
#include "model/design.h"
#include "text/format.h"

namespace cbeam {
namespace {

using drawing_detail::kBlack;
using drawing_detail::kDiagram;
using drawing_detail::Plotter;
using drawing_detail::Steps;

enum Row { kValueRow };
enum SymbolKind { kSupportTick };
// Ticks closer than this (3 pixels) are a band, not ticks.
constexpr double kTickApart = 45;

// Room above and below the largest ordinate for its label.
constexpr double kLabelRoom = 350;
// How far an end shear's label stands in from its support, so that the two
// labels at one support fall on either side of it.
constexpr double kEndLabelInset = 350;

// The frame both diagrams share: the beam's x-mapping over the canvas width,
// the axis across the middle, `largest` reaching just short of an edge.
struct Frame {
    XMapping x;
    double y0 = 0, ky = 0, ds = 0;
};

std::optional<Frame> FrameFor(const DesignState& s, const Canvas& canvas, double largest) {
    const auto x = BeamXMapping(s, canvas.ScaleWidth());
    const double H = canvas.ScaleHeight();
    if (!x || !(x->kx > 0) || !(H > 0)) return std::nullopt;
    Frame f;
    f.x = *x;
    f.y0 = std::round(H / 2);
    const double h = std::max(H / 2 - kLabelRoom, 0.0);
    f.ky = largest > 0 && std::isfinite(largest) ? h / largest : h;
    f.ds = kHatchSpacing / x->kx;
    return f;
}

// Above the curve for a value drawn upward, below it for one drawn downward.
double LabelTop(double y, double y0) {
    return y <= y0 ? y - 150 : y + 30;
}

void DrawAxis(Plotter& p, const DesignState& s, const Frame& f) {
    p.Apart(kSupportTick, kTickApart);
    p.Box(kMargin, f.y0, f.x.xR, f.y0 + 15, kBlack);
    for (const double xs : NodeXs(s, f.x)) {
        p.Symbol(kSupportTick, xs, [&](double x) { p.Line(x, f.y0 - 60, x, f.y0 + 75); });
    }
}

}  // namespace

void DrawV(const DesignState& s, const DesignValues& design, Canvas& canvas, DiagramStyle style) {
    const int n = std::min(static_cast<int>(s.N), static_cast<int>(design.spans.size()));
    double largest = 0;
    for (int i = 0; i < n; ++i) {
        largest = std::max({largest, std::fabs(design.spans[i].Vl), std::fabs(design.spans[i].Vr)});
    }
    const auto f = FrameFor(s, canvas, std::max(largest, style.largest));
    if (!f || n < 1) return;
    Plotter p(canvas);
    if (style.labelsOffCurves) p.LabelsOffCurves();
    DrawAxis(p, s, *f);
    // Shear up for positive values, as the moment diagram draws hogging up.
    const auto Y = [&](double v) { return f->y0 - f->ky * v; };
    const char* pattern = style.threeDecimals ? "#####0.000" : "#####0.00";
    const auto Text = [pattern](double v) { return Format(v, pattern) + "kN"; };

    double d = 0;
    double before = 0;  // shear just left of the node; none left of node 1
    for (int i = 1; i <= n; ++i) {
        const auto& v = design.spans[i - 1];
        const double L = s.L(i);
        const double left = d;
        d += L;
        const auto X = [&](double u) { return (left + u) * f->x.kx + kMargin; };
        const LoadKind kind = s.Kind(i);
        const double xb = kind == LoadKind::None ? L : std::clamp(s.A(i) * L, 0.0, L);
        // Constant beside a point load, linear under a uniform load and
        // constant beyond its end.
        const auto V = [&](double u) {
            if (kind == LoadKind::Uniform && xb > 0 && u < xb) return v.Vl + (v.Vr - v.Vl) * u / xb;
            if (kind == LoadKind::Point && u < xb) return v.Vl;
            return u <= 0 ? v.Vl : v.Vr;
        };

        p.Stroke(X(0), Y(before), X(0), Y(v.Vl), kDiagram);
        const double atLoad = kind == LoadKind::Point ? v.Vl : v.Vr;
        p.Stroke(X(0), Y(v.Vl), X(xb), Y(atLoad), kDiagram);
        p.Stroke(X(xb), Y(atLoad), X(xb), Y(v.Vr), kDiagram);
        p.Stroke(X(xb), Y(v.Vr), X(L), Y(v.Vr), kDiagram);
        Steps(0, L, f->ds, [&](double u) { p.Hatch(X(u), Y(V(u)), f->y0, kDiagram); });

        // Labels reach the plotter from left to right, as it expects: on a
        // span narrower than two insets the right one moves up to the left one.
        const double leftCentre = X(0) + kEndLabelInset;
        p.Label(kValueRow, leftCentre, LabelTop(Y(v.Vl), f->y0), [&] { return Text(v.Vl); });
        p.Label(kValueRow, std::max(X(L) - kEndLabelInset, leftCentre), LabelTop(Y(v.Vr), f->y0),
                [&] { return Text(v.Vr); });
        before = v.Vr;
    }
    p.Stroke(f->x.xR, Y(before), f->x.xR, f->y0, kDiagram);
}

void DrawW(const DesignState& s, const DesignValues& design, Canvas& canvas, DiagramStyle style) {
    const int n = std::min(static_cast<int>(s.N), static_cast<int>(design.spans.size()));
    double largest = 0;
    for (int i = 0; i < n; ++i) largest = std::max(largest, std::fabs(design.spans[i].w));
    const auto f = FrameFor(s, canvas, std::max(largest, style.largest));
    if (!f || n < 1) return;
    Plotter p(canvas);
    if (style.labelsOffCurves) p.LabelsOffCurves();
    DrawAxis(p, s, *f);
    // Deflection is downward positive and drawn downward.
    const auto Y = [&](double w) { return f->y0 + f->ky * w; };

    double d = 0;
    for (int i = 1; i <= n; ++i) {
        const auto& v = design.spans[i - 1];
        const double L = s.L(i);
        const double left = d;
        d += L;
        const auto X = [&](double u) { return (left + u) * f->x.kx + kMargin; };
        const SpanCurve curve(s, i);
        double pu = 0, pw = curve.Deflection(0);
        bool peakDone = false;
        const auto to = [&](double u) {
            const double w = curve.Deflection(u);
            p.Stroke(X(pu), Y(pw), X(u), Y(w), kDiagram);
            p.Hatch(X(u), Y(w), f->y0, kDiagram);
            pu = u, pw = w;
        };
        // The peak is a sample of its own, so that the curve reaches the
        // value its label gives.
        Steps(0, L, f->ds, [&](double u) {
            if (!peakDone && v.xw < u) to(v.xw), peakDone = true;
            if (u > 0) to(u);
        });
        if (!peakDone && v.xw > pu) to(v.xw);
        if (pu < L) to(L);
        p.Label(kValueRow, X(v.xw), LabelTop(Y(v.w), f->y0),
                [&] { return Format(v.w, "#####0.000") + "mm"; });
    }
}

}  // namespace cbeam
