#include "drawing/envelope_drawing.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "drawing/layout.h"
#include "drawing/plotter.h"
#include "text/format.h"

namespace cbeam {
namespace {

using analysis::Extremes;
using analysis::Quantity;
using analysis::Side;
using drawing_detail::kBlack;
using drawing_detail::kDiagram;
using drawing_detail::Plotter;
using drawing_detail::StepsAlong;
using drawing_detail::StrokeToAxis;

// The support values are what an envelope is read for; a span's own
// extremes give way to them.
enum Row { kNodeRow, kSpanRow };
enum SymbolKind { kSupportTick };
constexpr double kTickApart = 45;
// Room above and below the largest ordinate for its label, and how far an
// end shear's label stands in from its support, as in the shear diagram.
constexpr double kLabelRoom = 350;
constexpr double kEndLabelInset = 350;
// A station per this many canvas units of a span, within these counts: a
// parabola between stations this close reads as a curve, and a narrow
// canvas (a long beam in one row) asks for no more than it can show.
constexpr double kStationWidth = 75;
constexpr int kFewestStations = 4, kMostStations = 36;

struct Point {
    double u;  // m from the left end of the drawing
    Extremes e;
};

bool Same(const Extremes& a, const Extremes& b) {
    return a.max == b.max && a.min == b.min;
}

// The sections of span k drawn: stations at equal spacing, every load's
// ends and the x of the extremes, each taken from both sides where the
// envelope jumps there (a point load in V, a couple in M).
std::vector<Point> SpanPoints(const Beam& beam, const analysis::Envelope& env, Quantity q, int k,
                              const analysis::SpanEnvelope& d, double left, double width,
                              const std::vector<double>& loadEnds) {
    const double L = beam.SpanAt(k).L;
    const int stations =
        std::clamp(static_cast<int>(width / kStationWidth), kFewestStations, kMostStations);
    std::vector<double> xs;
    for (int i = 0; i <= stations; ++i) xs.push_back(L * i / stations);
    xs.insert(xs.end(), loadEnds.begin(), loadEnds.end());
    if (q == Quantity::Moment) xs.insert(xs.end(), {d.Mmax.x, d.Mmin.x});
    if (q == Quantity::Deflection) xs.insert(xs.end(), {d.wmax.x, d.wmin.x});
    for (double& x : xs) x = std::isfinite(x) ? std::clamp(x, 0.0, L) : 0.0;
    std::ranges::sort(xs);
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    const std::vector<Extremes> before = env.Along(k, q, xs, Side::Left);
    const std::vector<Extremes> after = env.Along(k, q, xs, Side::Right);
    std::vector<Point> points;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        points.push_back({left + xs[i], before[i]});
        const bool end = xs[i] <= 0 || xs[i] >= L;
        if (!end && !Same(before[i], after[i])) points.push_back({left + xs[i], after[i]});
    }
    return points;
}

const char* Unit(Quantity q) {
    return q == Quantity::Moment ? "kNm" : q == Quantity::Shear ? "kN" : "mm";
}

}  // namespace

void DrawEnvelope(const Beam& beam, const analysis::Envelope& env, Quantity q, Canvas& canvas,
                  DiagramStyle style, int firstSpan, int lastSpan) {
    const int first = std::max(firstSpan, 1);
    const int last = lastSpan < 1 ? beam.N() : std::min(lastSpan, beam.N());
    const double W = canvas.ScaleWidth(), H = canvas.ScaleHeight();
    if (first > last || !(W > 2 * kMargin) || !(H > 0) || !std::isfinite(W * H)) return;
    double total = 0;
    for (int k = first; k <= last; ++k) total += beam.SpanAt(k).L;
    const double x0 = kMargin, xR = std::round(W - kMargin);
    const double kx = (xR - x0) / total;
    if (!std::isfinite(kx) || !(kx > 0)) return;

    // Each span's points, and where each span's points start.
    std::vector<Point> points;
    std::vector<std::size_t> starts;
    // Each span's design values, asked for once: they cost what many sections do.
    std::vector<analysis::SpanEnvelope> designs;
    // The loads' ends by span, in one pass: a stretch of a long beam must
    // not read every load of the beam for each of its spans.
    std::vector<std::vector<double>> loadEnds(static_cast<std::size_t>(last - first + 1));
    for (const LoadCase& c : beam.cases) {
        for (const Load& l : c.loads) {
            if (l.kind == Load::Kind::Settlement || l.span < first || l.span > last) continue;
            loadEnds[static_cast<std::size_t>(l.span - first)].insert(
                loadEnds[static_cast<std::size_t>(l.span - first)].end(), {l.x1, l.x2});
        }
    }
    double largest = style.largest, d = 0;
    for (int k = first; k <= last; ++k) {
        const double L = beam.SpanAt(k).L;
        starts.push_back(points.size());
        designs.push_back(env.Design(k));
        for (const Point& pt : SpanPoints(beam, env, q, k, designs.back(), d, L * kx,
                                          loadEnds[static_cast<std::size_t>(k - first)])) {
            points.push_back(pt);
            largest = std::max({largest, std::fabs(pt.e.max), std::fabs(pt.e.min)});
        }
        d += L;
    }
    starts.push_back(points.size());
    const double y0 = std::round(H / 2);
    const double h = std::max(H / 2 - kLabelRoom, 0.0);
    const double ky = (largest > 0 && std::isfinite(largest) ? h / largest : h) *
                      (q == Quantity::Deflection ? -1 : 1);
    const auto X = [&](double u) { return x0 + u * kx; };
    const auto Y = [&](double v) { return y0 - ky * v; };

    Plotter p(canvas);
    p.Yield(kSpanRow);
    if (style.labelsOffCurves) p.LabelsOffCurves();
    p.Apart(kSupportTick, kTickApart);
    p.Box(x0, y0, xR, y0 + 15, kBlack);
    d = 0;
    for (int j = first; j <= last + 1; ++j) {
        if (beam.SupportAt(j).kind != SupportKind::Free) {
            p.Symbol(kSupportTick, X(d), [&](double x) { p.Line(x, y0 - 60, x, y0 + 75); });
        }
        if (j <= last) d += beam.SpanAt(j).L;
    }

    // Both curves, closed down to the axis at the two ends.
    for (const bool max : {true, false}) {
        StrokeToAxis(
            p, points, y0, [&](const Point& pt) { return X(pt.u); },
            [&](const Point& pt) { return Y(max ? pt.e.max : pt.e.min); }, kDiagram);
    }
    // Hatched from the one curve to the other, straight between the points.
    StepsAlong(points, kHatchSpacing / kx, [&](double u, const Point& a, const Point& b, double t) {
        const double hi = a.e.max + (b.e.max - a.e.max) * t;
        const double lo = a.e.min + (b.e.min - a.e.min) * t;
        p.Hatch(X(u), Y(hi), Y(lo), kDiagram);
    });

    const char* pattern = style.threeDecimals ? "#####0.000" : "#####0.00";
    const std::string unit = Unit(q);
    // Deflections are small beside the spans: with three decimals only,
    // 0.009 mm would keep one significant digit. They keep three at least.
    const auto text = [&](double v) {
        const double size = std::fabs(v);
        if (q != Quantity::Deflection || !style.threeDecimals || !(size > 0) || size >= 0.1) {
            return Format(v, pattern) + unit;
        }
        const int decimals = std::clamp(2 - static_cast<int>(std::floor(std::log10(size))), 3, 12);
        return Format(v, "#####0." + std::string(static_cast<std::size_t>(decimals), '0')) + unit;
    };
    // The upper curve's value above it, the lower one's below; one label
    // where the two meet.
    const auto pair = [&](int row, double x, double hi, double lo) {
        const double upper = Y(hi) <= Y(lo) ? hi : lo, lower = upper == hi ? lo : hi;
        // Equal but for rounding (both zero at a pinned end): one label.
        if (std::fabs(hi - lo) <= 1e-9 * largest) {
            p.Label(row, x, Y(hi) <= y0 ? Y(hi) - 150 : Y(hi) + 30, [&] { return text(hi); });
            return;
        }
        p.Label(row, x, Y(upper) - 150, [&] { return text(upper); });
        p.Label(row, x, Y(lower) + 30, [&] { return text(lower); });
    };
    // A span's own extreme, where it is inside the span and not nothing.
    const auto inner = [&](double u, const analysis::EnvelopeAt& e, double L, bool upper) {
        if (!(e.x > 0 && e.x < L) || !(std::fabs(e.value) > 1e-9 * largest)) return;
        p.Label(kSpanRow, X(u + e.x), upper ? Y(e.value) - 150 : Y(e.value) + 30,
                [&] { return text(e.value); });
    };
    d = 0;
    for (int k = first; k <= last; ++k) {
        const double L = beam.SpanAt(k).L;
        const std::size_t s = k - first;
        const analysis::SpanEnvelope& e = designs[s];
        if (q == Quantity::Moment) {
            const Extremes& at = points[starts[s]].e;
            pair(kNodeRow, X(d), at.max, at.min);
            inner(d, e.Mmax, L, true);
            inner(d, e.Mmin, L, false);
            if (k == last) {
                const Extremes& end = points[starts[s + 1] - 1].e;
                pair(kNodeRow, X(d + L), end.max, end.min);
            }
        } else if (q == Quantity::Shear) {
            const double leftCentre = X(d) + kEndLabelInset;
            pair(kNodeRow, leftCentre, e.Vl.max, e.Vl.min);
            pair(kNodeRow, std::max(X(d + L) - kEndLabelInset, leftCentre), e.Vr.max, e.Vr.min);
        } else {
            inner(d, e.wmin, L, true);
            inner(d, e.wmax, L, false);
        }
        d += L;
    }
}

}  // namespace cbeam
