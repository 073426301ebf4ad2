#include "drawing/beam_schematic.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "drawing/layout.h"
#include "drawing/plotter.h"
#include "drawing/stretch.h"
#include "text/format.h"

namespace cbeam {
namespace {

using drawing_detail::kBlack;
using drawing_detail::Plotter;
using drawing_detail::Steps;

// The loads' values are what the schematic is read for; the springs' k and
// the span numbers give way to them.
enum Row { kLoadRow, kPointRow, kMomentRow, kNodeRow, kLengthRow, kSpanNumberRow, kSpringRow };
enum SymbolKind { kSupportSymbol, kArrowSymbol, kMomentSymbol, kTickSymbol, kSettlementSymbol };

constexpr Rgb kBarBlue{0, 0, 225};
// Light enough that the arrows and labels over a load stay legible.
constexpr Rgb kLoadFill{170, 195, 255};
constexpr Rgb kLoadEdge{40, 70, 200};
// As the design beam's mark: a colour none of the drawings uses.
constexpr Rgb kMarkColour{230, 120, 0};
constexpr double kMarkLeastPixels = 5;
constexpr double kNodeMarkHalf = 20;

constexpr double kSupportWidth = 240, kArrowWidth = 60, kTickWidth = 60;
// A canvas line of text, and the vertical places below the bar's upper
// edge y0 (negative: above it).
constexpr double kLabelHeight = 240;
constexpr double kLargestLoad = 200;  // the largest distributed load's height
constexpr double kLoadBand = 320;     // the most a span's stacked loads take
constexpr double kPointArrow = 300;
constexpr double kMomentRadius = 110;
constexpr double kNodeLabelTop = 200;
constexpr double kLengthTop = 400;
constexpr double kDimension = 620;
constexpr double kSpanNumberTop = 680;
constexpr double kFillSpacing = 45;
// Stacking looks back at this many loads of the span: a span with thousands
// of overlapping loads is unreadable anyway, and must not cost their square.
constexpr std::size_t kStackLookBack = 16;

using drawing_detail::Stretch;
using drawing_detail::StretchOf;

// At most 3 decimals, and none that only repeat zeros.
std::string Value(double v) {
    std::string s = Format(v, "#####0.###");
    while (s.find('.') != std::string::npos && (s.back() == '0' || s.back() == '.')) {
        const bool point = s.back() == '.';
        s.pop_back();
        if (point) break;
    }
    if (s == "-0") s = "0";
    return s;
}

struct Symbols {
    Plotter& p;
    double y0;

    void Pinned(double x) const {
        p.Circle(x, y0 + 30, 30);
        p.Line(x - 30, y0 + 30, x - 90, y0 + 150);
        p.Line(x + 30, y0 + 30, x + 90, y0 + 150);
        p.Box(x - 90, y0 + 150, x + 90, y0 + 180, kBlack);
    }
    // side -1: the wall's hatching to its left, +1 to its right.
    void Fixed(double x, double side) const {
        p.Box(x - 10, y0 - 120, x + 10, y0 + 135, kBlack);
        for (double y = y0 - 120; y < y0 + 135; y += 50)
            p.Line(x + side * 10, y + 50, x + side * 70, y);
    }
    void Spring(double x) const {
        constexpr double top = 40, bottom = 140, width = 40;
        constexpr int zigs = 6;
        p.Line(x, y0 + 15, x, y0 + top);
        double px = x, py = y0 + top;
        for (int i = 1; i <= zigs; ++i) {
            const double nx = i == zigs ? x : x + (i % 2 == 1 ? width : -width);
            const double ny = y0 + top + (bottom - top) * i / zigs;
            p.Line(px, py, nx, ny);
            px = nx, py = ny;
        }
        p.Line(x, y0 + bottom, x, y0 + 165);
        p.Box(x - 90, y0 + 165, x + 90, y0 + 180, kBlack);
    }
    // An upright arrow between top and bottom, its head at the bottom or
    // the top.
    void Arrow(double x, double top, double bottom, bool down) const {
        p.Line(x, top, x, bottom);
        const double tip = down ? bottom : top, back = down ? -60 : 60;
        p.Line(x - 30, tip + back, x, tip);
        p.Line(x + 30, tip + back, x, tip);
    }
    // Clockwise positive: over the top from left to right, the head at the
    // end the moment turns towards.
    void Moment(double x, bool clockwise) const {
        constexpr int pieces = 8;
        double px = x - kMomentRadius, py = y0;
        for (int i = 1; i <= pieces; ++i) {
            const double t = std::numbers::pi * (1 - static_cast<double>(i) / pieces);
            const double nx = x + kMomentRadius * std::cos(t),
                         ny = y0 - kMomentRadius * std::sin(t);
            p.Line(px, py, nx, ny);
            px = nx, py = ny;
        }
        const double end = clockwise ? x + kMomentRadius : x - kMomentRadius;
        p.Line(end - 30, y0 - 55, end, y0);
        p.Line(end + 30, y0 - 55, end, y0);
    }
    void Tick(double x) const {
        p.Line(x, y0 + kDimension - 100, x, y0 + kDimension + 60);
        p.Line(x - 30, y0 + kDimension + 30, x + 30, y0 + kDimension - 30);
    }
};

// The case's loads on the stretch, each span's together and by x: one pass
// over the case, however long the beam.
struct Buckets {
    std::vector<const Load*> loads;        // span by span
    std::vector<std::size_t> starts;       // per span of the stretch, and the end
    std::vector<const Load*> settlements;  // by node

    Buckets(const LoadCase* c, const Stretch& s) {
        const std::size_t spans = static_cast<std::size_t>(s.last - s.first + 1);
        starts.assign(spans + 1, 0);
        if (c == nullptr) return;
        const auto inside = [&](const Load& l) {
            return l.kind != Load::Kind::Settlement && l.span >= s.first && l.span <= s.last;
        };
        for (const Load& l : c->loads) {
            if (inside(l)) ++starts[static_cast<std::size_t>(l.span - s.first) + 1];
            if (l.kind == Load::Kind::Settlement && l.node >= s.first && l.node <= s.last + 1)
                settlements.push_back(&l);
        }
        for (std::size_t i = 1; i <= spans; ++i) starts[i] += starts[i - 1];
        loads.resize(starts[spans]);
        std::vector<std::size_t> next(starts.begin(), starts.end() - 1);
        for (const Load& l : c->loads) {
            if (inside(l)) loads[next[static_cast<std::size_t>(l.span - s.first)]++] = &l;
        }
        for (std::size_t i = 0; i < spans; ++i) {
            std::stable_sort(loads.begin() + starts[i], loads.begin() + starts[i + 1],
                             [](const Load* a, const Load* b) { return a->x1 < b->x1; });
        }
        std::ranges::stable_sort(settlements, {}, &Load::node);
    }
};

double Magnitude(const Load& l) {
    const double m = std::max(std::fabs(l.q1), l.kind == Load::Kind::Linear ? std::fabs(l.q2) : 0);
    return std::isfinite(m) ? m : 0;
}

void DrawBeam(const Beam& beam, Canvas& canvas, const Stretch& s, int caseIndex) {
    const double H = canvas.ScaleHeight();
    const double y0 = std::round(H / 2 - 200);
    Plotter p(canvas);
    const Symbols sym{p, y0};
    p.Apart(kSupportSymbol, kSupportWidth);
    p.Apart(kArrowSymbol, kArrowWidth);
    p.Apart(kMomentSymbol, 2 * kMomentRadius + kArrowWidth);
    p.Apart(kSettlementSymbol, kArrowWidth);
    p.Apart(kTickSymbol, kTickWidth);
    p.Yield(kSpringRow);
    p.Yield(kSpanNumberRow);
    const bool numbered = p.Readable();

    // Where each node of the stretch is, added up as the envelopes add it.
    std::vector<double> xs;
    xs.reserve(static_cast<std::size_t>(s.last - s.first) + 2);
    double d = 0;
    for (int k = s.first; k <= s.last; ++k) {
        xs.push_back(s.X(d));
        d += beam.SpanAt(k).L;
    }
    xs.push_back(s.X(d));
    const auto nodeX = [&](int j) { return xs[static_cast<std::size_t>(j - s.first)]; };

    const LoadCase* c = caseIndex >= 0 && static_cast<std::size_t>(caseIndex) < beam.cases.size()
                            ? &beam.cases[static_cast<std::size_t>(caseIndex)]
                            : nullptr;
    const Buckets b(c, s);

    // The distributed loads first, under everything else: each one's base
    // on the highest load before it in its span that it overlaps, in units
    // of the largest load shown.
    double largest = 0;
    for (const Load* l : b.loads)
        if (l->Distributed()) largest = std::max(largest, Magnitude(*l));
    std::vector<double> base(b.loads.size(), 0);
    double tallest = 0;
    if (largest > 0) {
        for (std::size_t k = 0; k + 1 < b.starts.size(); ++k) {
            for (std::size_t i = b.starts[k]; i < b.starts[k + 1]; ++i) {
                const Load& l = *b.loads[i];
                if (!l.Distributed()) continue;
                const std::size_t from = i - std::min(i - b.starts[k], kStackLookBack);
                for (std::size_t j = from; j < i; ++j) {
                    const Load& o = *b.loads[j];
                    // Loads that only meet end to end (a slab's trapezoid in three
                    // pieces) stand side by side.
                    if (o.Distributed() && o.x1 < l.x2 && l.x1 < o.x2)
                        base[i] = std::max(base[i], base[j] + Magnitude(o) / largest);
                }
                tallest = std::max(tallest, base[i] + Magnitude(l) / largest);
            }
        }
    }
    const double unit = tallest > 0 ? std::min(kLargestLoad, kLoadBand / tallest) : 0;

    p.Box(s.x0, y0, s.xR, y0 + 15, kBarBlue);
    for (std::size_t k = 0; k + 1 < b.starts.size(); ++k) {
        const double left = xs[k];
        for (std::size_t i = b.starts[k]; i < b.starts[k + 1]; ++i) {
            const Load& l = *b.loads[i];
            if (!l.Distributed()) continue;
            const double xa = left + l.x1 * s.kx, xb = left + l.x2 * s.kx;
            const double foot = y0 - base[i] * unit;
            const double h2 = l.kind == Load::Kind::Linear ? std::fabs(l.q2) : std::fabs(l.q1);
            const double ya = foot - std::fabs(l.q1) / largest * unit;
            const double yb = foot - h2 / largest * unit;
            Steps(xa, xb, kFillSpacing, [&](double x) {
                const double t = xb > xa ? (x - xa) / (xb - xa) : 0;
                p.Hatch(x, ya + (yb - ya) * t, foot, kLoadFill);
            });
            p.Line(xa, ya, xb, yb, kLoadEdge);
            p.Line(xa, ya, xa, foot, kLoadEdge);
            p.Line(xb, yb, xb, foot, kLoadEdge);
            const std::string unitText = "kN/m";
            p.Label(kLoadRow, (xa + xb) / 2, std::min(ya, yb) - kLabelHeight, [&] {
                if (l.kind == Load::Kind::Uniform || l.q1 == l.q2) return Value(l.q1) + unitText;
                return Value(l.q1) + "~" + Value(l.q2) + unitText;
            });
        }
    }

    // The supports, the dimension line and the spans' own labels.
    for (int j = s.first; j <= s.last + 1; ++j) {
        const Support& sup = beam.SupportAt(j);
        const double x = nodeX(j);
        switch (sup.kind) {
            case SupportKind::Pinned:
                p.Symbol(kSupportSymbol, x, [&](double at) { sym.Pinned(at); });
                break;
            case SupportKind::Fixed: {
                const double side = j == beam.N() + 1 ? 1 : -1;
                p.Symbol(kSupportSymbol, x, [&](double at) { sym.Fixed(at, side); });
                break;
            }
            case SupportKind::Spring:
                p.Symbol(kSupportSymbol, x, [&](double at) { sym.Spring(at); });
                p.Label(kSpringRow, x, y0 + kNodeLabelTop, [&] {
                    std::string t = "k=" + Value(sup.k);
                    if (sup.kr > 0) t += " kr=" + Value(sup.kr);
                    return t;
                });
                break;
            case SupportKind::Free:
                break;
        }
        p.Symbol(kTickSymbol, x, [&](double at) { sym.Tick(at); });
    }
    p.Line(s.x0, y0 + kDimension, s.xR, y0 + kDimension);
    for (int k = s.first; k <= s.last; ++k) {
        const double xm = (nodeX(k) + nodeX(k + 1)) / 2;
        p.Label(kLengthRow, xm, y0 + kLengthTop, [&] { return Value(beam.SpanAt(k).L) + "m"; });
        if (numbered) {
            p.Label(kSpanNumberRow, xm, y0 + kSpanNumberTop,
                    [k] { return "(" + std::to_string(k) + ")"; });
        }
    }

    // The concentrated loads over the shapes.
    for (std::size_t k = 0; k + 1 < b.starts.size(); ++k) {
        const double left = xs[k];
        for (std::size_t i = b.starts[k]; i < b.starts[k + 1]; ++i) {
            const Load& l = *b.loads[i];
            const double x = left + l.x1 * s.kx;
            if (l.kind == Load::Kind::Point) {
                const bool down = !(l.q1 < 0);
                p.Symbol(kArrowSymbol, x,
                         [&](double at) { sym.Arrow(at, y0 - kPointArrow, y0, down); });
                p.Label(kPointRow, x, y0 - kPointArrow - kLabelHeight,
                        [&] { return Value(l.q1) + "kN"; });
            } else if (l.kind == Load::Kind::Moment) {
                const bool clockwise = !(l.q1 < 0);
                p.Symbol(kMomentSymbol, x, [&](double at) { sym.Moment(at, clockwise); });
                p.Label(kMomentRow, x, y0 - kMomentRadius - kLabelHeight,
                        [&] { return Value(l.q1) + "kNm"; });
            }
        }
    }
    // A settlement beside its support, the support's own symbol untouched.
    for (const Load* l : b.settlements) {
        const double x = nodeX(l->node);
        const bool down = !(l->q1 < 0);
        p.Symbol(kSettlementSymbol, x,
                 [&](double at) { sym.Arrow(at + 130, y0 + 40, y0 + 170, down); });
        p.Label(kNodeRow, x, y0 + kNodeLabelTop, [&] { return "d=" + Value(l->q1) + "mm"; });
    }
}

}  // namespace

void DrawSchematic(const Beam& beam, Canvas& canvas, SchematicOptions options, int firstSpan,
                   int lastSpan) {
    const double H = canvas.ScaleHeight();
    const std::optional<Stretch> s = StretchOf(beam, canvas.ScaleWidth(), firstSpan, lastSpan);
    if (!s || !(H > 0) || !std::isfinite(H)) return;
    DrawBeam(beam, canvas, *s, options.caseIndex);
    if (options.markSpan > 0 || options.markNode > 0)
        MarkPlace(beam, canvas, options.markSpan, options.markNode, firstSpan, lastSpan);
}

void MarkPlace(const Beam& beam, Canvas& canvas, int span, int node, int firstSpan, int lastSpan) {
    const double H = canvas.ScaleHeight();
    const std::optional<Stretch> s = StretchOf(beam, canvas.ScaleWidth(), firstSpan, lastSpan);
    if (!s || !(H > 0) || !std::isfinite(H)) return;
    const bool markSpan = span >= s->first && span <= s->last;
    const bool markNode = node >= s->first && node <= s->last + 1;
    if (!markSpan && !markNode) return;
    const int upTo = std::max(markSpan ? span : 0, markNode ? node : 0);
    double d = 0, spanLeft = 0, spanRight = 0, nodeX = 0;
    for (int k = s->first; k <= upTo; ++k) {
        if (k == span) spanLeft = s->X(d);
        if (k == node) nodeX = s->X(d);
        if (k > s->last) break;
        d += beam.SpanAt(k).L;
        if (k == span) spanRight = s->X(d);
    }
    // A span or node of less than a few pixels still gets a mark that can be seen.
    const DeviceScale res = canvas.Resolution();
    const double least = res.x > 0 && std::isfinite(res.x) ? kMarkLeastPixels / res.x : 0;
    const double inset = H * 0.03;
    Plotter p(canvas);
    if (markSpan) {
        if (spanRight - spanLeft < least) {
            const double centre = (spanLeft + spanRight) / 2;
            spanLeft = centre - least / 2, spanRight = centre + least / 2;
        }
        p.Box(spanLeft, inset, spanRight, H - inset, kMarkColour);
    }
    if (markNode) {
        const double half = std::max(kNodeMarkHalf, least / 2);
        p.Box(nodeX - half, inset, nodeX + half, H - inset, kMarkColour);
    }
}

}  // namespace cbeam
