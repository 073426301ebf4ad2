#include <cmath>
#include <string>

#include "drawing/drawings.h"
#include "drawing/layout.h"
#include "drawing/plotter.h"
#include "text/format.h"

namespace cbeam {
namespace {

using drawing_detail::kBlack;
using drawing_detail::Plotter;

// Label rows and symbol kinds, for thinning out a crowded picture.
enum Row { kRigidityRow, kLengthRow, kUniformLoadRow, kPointLoadRow, kSpanNumberRow };
enum SymbolKind { kTickSymbol, kSupportSymbol, kArrowSymbol };
enum RuleKind { kLoadTopRule };
constexpr Rgb kBarBlue{0, 0, 225};
// How far apart symbols of a kind stand at the least on a picture people
// read: their width, and for supports a little room between them.
constexpr double kTickWidth = 60;
constexpr double kSupportWidth = 240;
constexpr double kSupportReach = 100;  // either side of its x
constexpr double kArrowWidth = 60;
// The span numbers stand below the dimension line.
constexpr double kSpanNumberTop = 640;
// The chosen span's frame: a colour none of the drawings uses, and wide
// enough to be seen on a span of a fraction of a pixel.
constexpr Rgb kMarkColour{230, 120, 0};
constexpr double kMarkLeastPixels = 5;

// A span too narrow for its arrow spacing would otherwise get an arrow per
// fraction of a unit up to 50 units beyond it (or never stop at a spacing
// of 0); a full-span load has 16 arrows, so that is the most it gets.
constexpr int kNarrowSpanArrows = 16;
// Valid loads never come near this; it only stops a wild fraction a.
constexpr int kMaxArrows = 4096;

struct Symbols {
    Plotter& p;
    double y0;

    void Wall(double x) const { p.Box(x - 10, y0 - 80, x + 10, y0 + 120, kBlack); }
    void PinnedEnd(double x) const {
        p.Circle(x, y0 + 30, 30);
        p.Line(x - 30, y0 + 30, x - 90, y0 + 150);
        p.Line(x + 30, y0 + 30, x + 90, y0 + 150);
        p.Box(x - 90, y0 + 150, x + 90, y0 + 180, kBlack);
    }
    void InteriorSupport(double x) const {
        p.Circle(x, y0 + 30, 30);
        p.Line(x, y0 + 60, x, y0 + 120);
        p.Circle(x, y0 + 150, 30);
        p.Box(x - 100, y0 + 150, x + 100, y0 + 180, kBlack);
    }
    void Arrow(double x) const {
        p.Line(x, y0 - 200, x, y0);
        p.Line(x - 30, y0 - 60, x, y0);
        p.Line(x + 30, y0 - 60, x, y0);
    }
    void Tick(double x) const {
        p.Line(x, y0 + 400, x, y0 + 600);
        p.Line(x - 30, y0 + 530, x + 30, y0 + 470);
    }
};

std::string RigidityText(double ei) {
    if (ei == 1) return "EI";
    return Format(ei, "#0.##") + "EI";
}

// The row of arrows of a uniform load and its top line. t runs by repeated
// addition of e up to the bound b, which lets the arrow at the end of the
// loaded stretch through when the additions overshoot it slightly.
void UniformLoadArrows(const Symbols& sym, double xa, double e, double b) {
    const int most = e < 1 ? kNarrowSpanArrows : kMaxArrows;
    double tlast = 0;
    int drawn = 0;
    for (double t = 0; t <= b && drawn < most; t += e) {
        sym.p.Symbol(kArrowSymbol, xa + t, [&](double x) { sym.Arrow(x); });
        tlast = t;
        ++drawn;
    }
    if (drawn > 0) sym.p.Rule(kLoadTopRule, xa, xa + tlast, sym.y0 - 200);
}

// A span's number as the schematic shows it: the way the span table names it.
std::string SpanNumber(int i) {
    return "(" + std::to_string(i) + ")";
}

}  // namespace

void MarkSpan(const DesignBeam& s, int span, Canvas& canvas) {
    const auto x = BeamXMapping(s, canvas.ScaleWidth());
    if (!x || span < 1 || span > s.N || s.L.Count() < s.N) return;
    double d = 0;
    for (int i = 1; i < span; ++i) d += s.L(i);
    double left = kMargin + x->kx * d, right = kMargin + x->kx * (d + s.L(span));
    // A span of less than a few pixels still gets a mark that can be seen.
    const DeviceScale res = canvas.Resolution();
    const double least = res.x > 0 && std::isfinite(res.x) ? kMarkLeastPixels / res.x : 0;
    if (right - left < least) {
        const double centre = (left + right) / 2;
        left = centre - least / 2, right = centre + least / 2;
    }
    const double inset = canvas.ScaleHeight() * 0.03;
    Plotter p(canvas);
    p.Box(left, inset, right, canvas.ScaleHeight() - inset, kMarkColour);
}

void ReDrawAll(const DesignBeam& s, Canvas& canvas, Continues continues) {
    const auto lay = LayOutSchematic(s, canvas.ScaleWidth(), canvas.ScaleHeight());
    if (!lay) return;
    const double y0 = lay->y0;
    const double xR = lay->x.xR;
    const double kx = lay->x.kx;
    const double xE = lay->xE;

    Plotter p(canvas);
    const Symbols sym{p, y0};
    p.Apart(kTickSymbol, kTickWidth);
    p.Apart(kSupportSymbol, kSupportWidth);
    p.Apart(kArrowSymbol, kArrowWidth);
    // The design's labels come first; the numbers only where room is left.
    p.Yield(kSpanNumberRow);
    const bool numbered = p.Readable();

    p.Box(600, y0, xR, y0 + 15, kBarBlue);
    const auto end = [&](double x, bool fixed, bool goesOn) {
        if (goesOn) {
            sym.InteriorSupport(x);
        } else if (fixed) {
            sym.Wall(x);
        } else {
            sym.PinnedEnd(x);
        }
    };
    end(600, s.Flag0 != kFalse, continues.left);
    end(xE, s.FlagN != kFalse, continues.right);
    p.Line(600, y0 + 500, xR, y0 + 500);
    // The first tick of the row that the spans' ticks keep apart from.
    p.Under(kTickSymbol, 600, 30, y0 + 400, y0 + 600, [sym](double x) { sym.Tick(x); });

    double d = 0;
    for (int i = 1; i <= s.N; ++i) {
        if (i > 1) d = d + s.L(i - 1);
        const double L = s.L(i);
        const double xa = kx * d + 600;
        const double xb = (d + L) * kx + 600;
        const double xm = xa + kx * L / 2;
        // Between the supports, where a picture people read has room for it.
        p.Label(kRigidityRow, xm, y0 + 30, [&] { return RigidityText(s.EI(i)); },
                {xa + kSupportReach, xb - kSupportReach});
        p.Under(kTickSymbol, xb, 30, y0 + 400, y0 + 600, [sym](double x) { sym.Tick(x); });
        p.Label(kLengthRow, xm, y0 + 320, [&] { return Format(L, "##0.00") + "M"; });
        if (numbered)
            p.Label(kSpanNumberRow, xm, y0 + kSpanNumberTop, [i] { return SpanNumber(i); });
        if (i < s.N) p.Symbol(kSupportSymbol, xb, [&](double x) { sym.InteriorSupport(x); });
    }

    // A beam whose load arrays are not sized yet shows no loads.
    if (s.LoadType.Count() < s.N || s.Q.Count() < s.N || s.A.Count() < s.N) return;
    d = 0;
    for (int i = 1; i <= s.N; ++i) {
        if (i > 1) d = d + s.L(i - 1);
        const double L = s.L(i);
        const double a = s.A(i);
        const double xa = kx * d + 600;
        switch (s.Kind(i)) {
            case LoadKind::Uniform: {
                const double e = kx * L / 15;
                const double b = kx * L * a + 50;
                if (std::isfinite(e) && std::isfinite(b)) UniformLoadArrows(sym, xa, e, b);
                const double xm = xa + kx * L / 2;
                p.Label(kUniformLoadRow, xm - 200, y0 - 500,
                        [&] { return Format(s.Q(i), "##0.00") + "kN/m"; });
                break;
            }
            case LoadKind::Point: {
                const double xP = (a * L + d) * kx + 600;
                p.Symbol(kArrowSymbol, xP, [&](double x) { sym.Arrow(x); });
                p.Label(kPointLoadRow, xP, y0 - 450,
                        [&] { return Format(s.Q(i), "##0.00") + "kN"; });
                break;
            }
            default:
                break;
        }
    }
}

}  // namespace cbeam
