#include "drawing/influence_drawing.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "drawing/layout.h"
#include "drawing/plotter.h"
#include "drawing/stretch.h"
#include "text/format.h"

namespace cbeam {
namespace {

using analysis::InfluenceExtreme;
using analysis::InfluenceOf;
using analysis::InfluencePiece;
using drawing_detail::kBlack;
using drawing_detail::kDiagram;
using drawing_detail::Plotter;
using drawing_detail::StepsAlong;
using drawing_detail::StrokeToAxis;

enum Row { kValueRow };
enum SymbolKind { kSupportTick };
constexpr double kTickApart = 45;
constexpr double kLabelRoom = 350;
// As the envelopes: a cubic between stations this close reads as a curve.
constexpr double kStationWidth = 75;
constexpr int kFewestStations = 4, kMostStations = 36;

struct Point {
    double u, v;  // m from the left end of the drawing, ordinate
};

using drawing_detail::Stretch;
using drawing_detail::StretchOf;

// The pieces of span k: they come by span, then by x.
std::span<const InfluencePiece> PiecesOf(const analysis::InfluenceLine& line, int k) {
    const auto all = line.Pieces();
    const auto lo = std::ranges::lower_bound(all, k, {}, &InfluencePiece::span);
    const auto hi = std::ranges::upper_bound(all, k, {}, &InfluencePiece::span);
    return all.subspan(static_cast<std::size_t>(lo - all.begin()),
                       static_cast<std::size_t>(hi - lo));
}

// Each piece at the span's stations inside it, at its ends and at its
// extremes: a jump between two pieces is then drawn straight up.
void AddPoints(std::span<const InfluencePiece> pieces, double L, double left, double width,
               std::vector<Point>& out, InfluenceExtreme& most, InfluenceExtreme& least) {
    const int stations =
        std::clamp(static_cast<int>(width / kStationWidth), kFewestStations, kMostStations);
    for (const InfluencePiece& p : pieces) {
        const auto [hi, lo] = analysis::ExtremesOf(p);
        if (hi.value > most.value) most = hi;
        if (lo.value < least.value) least = lo;
        std::vector<double> xs = {p.x0, p.x1, hi.x, lo.x};
        for (int i = 1; i < stations; ++i) {
            const double x = L * i / stations;
            if (x > p.x0 && x < p.x1) xs.push_back(x);
        }
        std::ranges::sort(xs);
        xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
        for (const double x : xs) out.push_back({left + x, p.At(x)});
    }
}

const char* Unit(InfluenceOf what) {
    switch (what) {
        case InfluenceOf::Moment:
            return "kN·m/kN";
        case InfluenceOf::Deflection:
            return "mm/kN";
        default:
            return "kN/kN";
    }
}

}  // namespace

std::optional<BeamPlace> PlaceUnder(const Beam& beam, double canvasX, double width, int firstSpan,
                                    int lastSpan) {
    const std::optional<Stretch> s = StretchOf(beam, width, firstSpan, lastSpan);
    if (!s) return std::nullopt;
    double u = std::max((canvasX - s->x0) / s->kx, 0.0);
    for (int k = s->first; k <= s->last; ++k) {
        const double L = beam.SpanAt(k).L;
        if (u <= L || k == s->last) return BeamPlace{k, std::clamp(u, 0.0, L)};
        u -= L;
    }
    return std::nullopt;
}

void DrawInfluence(const Beam& beam, const analysis::InfluenceLine& line,
                   const analysis::InfluenceAt& at, Canvas& canvas, DiagramStyle style,
                   int firstSpan, int lastSpan) {
    const double H = canvas.ScaleHeight();
    const std::optional<Stretch> s = StretchOf(beam, canvas.ScaleWidth(), firstSpan, lastSpan);
    if (!s || !(H > 0) || !std::isfinite(H) || line.Pieces().empty()) return;
    const double kx = s->kx, x0 = s->x0;

    std::vector<Point> points;
    InfluenceExtreme most{-HUGE_VAL}, least{HUGE_VAL};
    std::vector<double> nodes;  // where each node drawn is, m from the left
    double d = 0;
    for (int k = s->first; k <= s->last; ++k) {
        const double L = beam.SpanAt(k).L;
        nodes.push_back(d);
        AddPoints(PiecesOf(line, k), L, d, L * kx, points, most, least);
        d += L;
    }
    nodes.push_back(d);
    if (points.empty()) return;
    const double largest = std::max({style.largest, std::fabs(most.value), std::fabs(least.value)});
    const double y0 = std::round(H / 2);
    const double h = std::max(H / 2 - kLabelRoom, 0.0);
    const double ky = (largest > 0 && std::isfinite(largest) ? h / largest : h) *
                      (at.what == InfluenceOf::Deflection ? -1 : 1);
    const auto X = [&](double u) { return x0 + u * kx; };
    const auto Y = [&](double v) { return y0 - ky * v; };

    Plotter p(canvas);
    if (style.labelsOffCurves) p.LabelsOffCurves();
    p.Apart(kSupportTick, kTickApart);
    p.Box(x0, y0, s->xR, y0 + 15, kBlack);
    for (int j = s->first; j <= s->last + 1; ++j) {
        if (beam.SupportAt(j).kind == SupportKind::Free) continue;
        p.Symbol(kSupportTick, X(nodes[static_cast<std::size_t>(j - s->first)]),
                 [&](double x) { p.Line(x, y0 - 60, x, y0 + 75); });
    }

    StrokeToAxis(
        p, points, y0, [&](const Point& pt) { return X(pt.u); },
        [&](const Point& pt) { return Y(pt.v); }, kDiagram);
    // Hatched to the axis, the sign telling the colour; straight between
    // the points, as the curve is drawn.
    StepsAlong(points, kHatchSpacing / kx, [&](double u, const Point& a, const Point& b, double t) {
        const double v = a.v + (b.v - a.v) * t;
        if (v != 0) p.Hatch(X(u), Y(v), y0, v > 0 ? kDiagram : kNegativeHatch);
    });

    // The section: a triangle under the axis pointing at it, short enough
    // to leave the labels of the ordinates there clear.
    double section = 0;
    if (at.what == InfluenceOf::Reaction) {
        if (at.node >= s->first && at.node <= s->last + 1)
            section = X(nodes[static_cast<std::size_t>(at.node - s->first)]);
        else
            section = -1;
    } else if (at.span >= s->first && at.span <= s->last) {
        section = X(nodes[static_cast<std::size_t>(at.span - s->first)] + at.x);
    } else {
        section = -1;
    }
    if (section >= 0) {
        p.Line(section, y0 + 15, section - 60, y0 + 135, kBlack);
        p.Line(section, y0 + 15, section + 60, y0 + 135, kBlack);
        p.Line(section - 60, y0 + 135, section + 60, y0 + 135, kBlack);
    }

    const char* pattern = style.threeDecimals ? "#####0.000" : "#####0.0000";
    const std::string unit = Unit(at.what);
    const auto label = [&](const InfluenceExtreme& e) {
        if (!(std::fabs(e.value) > 1e-9 * largest) || e.span < s->first || e.span > s->last) return;
        const double y = Y(e.value);
        p.Label(kValueRow, X(nodes[static_cast<std::size_t>(e.span - s->first)] + e.x),
                y <= y0 ? y - 150 : y + 30, [&] { return Format(e.value, pattern) + unit; });
    };
    label(most);
    label(least);
}

}  // namespace cbeam
