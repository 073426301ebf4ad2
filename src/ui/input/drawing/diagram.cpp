#include <algorithm>
#include <cmath>
#include <string>

#include "text/format.h"
#include "ui/input/drawing/drawings.h"
#include "ui/input/drawing/plotter.h"

namespace cbeam {
namespace {

using drawing_detail::Plotter;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kDiagram{50, 50, 255};

// Label rows, for a canvas that thins out crowded labels.
enum Row { kNodeRow, kSpanRow };

// Lines of one hatch run or samples of one parabola. A normal picture needs
// one per 100 units of canvas width; only a step that has become a vanishing
// fraction of its stretch comes near this.
constexpr double kMaxSteps = 100000;

// Calls f(u) for u = u1, u1 + ds, ... while u <= u2, each u the previous one
// plus ds, so that the last u lands on u2 only when the additions do. When
// ds is too small a part of the stretch, the stretch is divided into
// kMaxSteps equal steps instead.
template <class F>
void Steps(double u1, double u2, double ds, F f) {
    if (!std::isfinite(u1) || !std::isfinite(u2) || !(ds > 0)) return;
    double step = ds;
    if ((u2 - u1) / ds > kMaxSteps) step = (u2 - u1) / kMaxSteps;
    int count = 0;
    for (double u = u1; u <= u2 && count <= kMaxSteps; u += step, ++count) {
        f(u);
        if (u + step == u) break;  // no progress left at this magnitude
    }
}

std::string MomentText(double m, const char* pattern) {
    return Format(m, pattern) + "kNm";
}

struct SpanMoments {
    double Mp = 0, Mc = 0, Mm = 0;
    double v = 0;  // the value that counts for the scale
};

SpanMoments SpanValues(const BeamState& s, int i) {
    SpanMoments r;
    const double L = s.L(i);
    const double a = s.A(i);
    const double w = s.Q(i);
    const double Mi = s.M(i);
    const double Mj = s.M(i + 1);
    switch (s.LoadType(i)) {
        case 1:
            r.Mc = Mi + (Mj - Mi) * a - L * L * a * a * w * (1 - a) / 2;
            r.Mm = (Mi + r.Mc) / 2 - L * L * a * a * w / 8;
            r.v = r.Mm;
            break;
        case 2:
            r.Mp = Mi + (Mj - Mi) * a - L * w * a * (1 - a);
            r.v = (Mi + Mj) / 2 - L * w * (1 - a) * a;
            break;
        default:
            break;
    }
    return r;
}

bool AllFinite(const SpanMoments& m) {
    return std::isfinite(m.Mp) && std::isfinite(m.Mc) && std::isfinite(m.Mm) && std::isfinite(m.v);
}

}  // namespace

void DrawM(BeamState& s, Canvas& canvas) {
    s.HatchSpacing = 100;
    const double W = canvas.ScaleWidth();
    const double H = canvas.ScaleHeight();
    if (!drawing_detail::UsableHeight(H)) return;
    const auto hi = drawing_detail::RoundToInt(H - 1400);
    const auto y0i = drawing_detail::RoundToInt(H / 2 - 100);
    const auto map = drawing_detail::BeamXMapping(s, W);
    if (!hi || !y0i || !map) return;
    const int n = s.N;
    if (s.M.Count() < n + 1 || s.LoadType.Count() < n || s.Q.Count() < n || s.A.Count() < n) {
        return;
    }
    const double h = *hi;
    const double x0 = 600;
    const double xR = map->xR;
    const double y0 = *y0i;
    const double kx = map->kx;
    const double ds = s.HatchSpacing / kx;

    double Mmax = 0;
    for (int k = 1; k <= n + 1; ++k) {
        if (!std::isfinite(s.M(k))) return;
        Mmax = std::max(Mmax, std::fabs(s.M(k)));
    }
    for (int i = 1; i <= n; ++i) {
        const SpanMoments m = SpanValues(s, i);
        if (!AllFinite(m)) return;
        Mmax = std::max(Mmax, std::fabs(m.v));
    }
    double ky = Mmax != 0 ? h / Mmax : h;
    // Moments so small that the scale overflows are zero on any canvas.
    if (!std::isfinite(ky)) ky = h;
    const auto Y = [&](double m) { return y0 - ky * m; };

    Plotter p(canvas);
    p.Box(x0, y0, xR, y0 + 15, kBlack);

    double d = 0;
    for (int i = 1; i <= n; ++i) {
        const double L = s.L(i);
        const double a = s.A(i);
        const double Mi = s.M(i);
        const double Mj = s.M(i + 1);
        if (i < n) {
            const double xs = (d + L) * kx + x0;
            p.Circle(xs, y0 + 30, 30);
            p.Line(xs, y0 + 60, xs, y0 + 120);
            p.Circle(xs, y0 + 150, 30);
        }
        p.Label(kNodeRow, d * kx + x0, Mi >= 0 ? Y(Mi) - 150 : Y(Mi) + 30,
                [&] { return MomentText(Mi, "#####0.00000"); });
        d = d + L;
        const double left = d - L;
        const auto X = [&](double u) { return (left + u) * kx + x0; };
        const auto hatch = [&](double u1, double u2, auto m) {
            Steps(u1, u2, ds, [&](double u) { p.Line(X(u), Y(m(u)), X(u), y0, kDiagram); });
        };
        const SpanMoments sm = SpanValues(s, i);

        switch (s.LoadType(i)) {
            case 0:
                p.Line(X(0), Y(Mi), X(L), Y(Mj), kDiagram);
                hatch(0, L, [&](double u) { return Mi + (Mj - Mi) * u / L; });
                break;
            case 2: {
                const double Mp = sm.Mp;
                p.Label(kSpanRow, X(a * L), Y(Mp) + 100,
                        [&] { return MomentText(Mp, "#####0.00000"); });
                p.Line(X(0), Y(Mi), X(a * L), Y(Mp), kDiagram);
                if (a != 0) hatch(0, L * a, [&](double u) { return Mi + (Mp - Mi) * u / (a * L); });
                if (a < 1) {
                    p.Line(X(L), Y(Mj), X(a * L), Y(Mp), kDiagram);
                    hatch(L * a, L,
                          [&](double u) { return Mp + (Mj - Mp) * (u - a * L) / ((1 - a) * L); });
                }
                break;
            }
            case 1: {
                const double Mc = sm.Mc;
                const double w = s.Q(i);
                p.Label(kSpanRow, X(a * L / 2), Y(sm.Mm) + 50,
                        [&] { return MomentText(sm.Mm, "#####0.00000"); });
                const auto mq = [&](double u) {
                    return Mi - u * (Mi - Mj) / L - u * (a * w) * (L - a * L / 2) + u * u * w / 2;
                };
                double px = X(0), py = Y(Mi);
                if (a != 0) {
                    Steps(0, L * a, ds, [&](double u) {
                        const double cx = X(u), cy = Y(mq(u));
                        p.Line(px, py, cx, cy, kDiagram);
                        p.Line(cx, cy, cx, y0, kDiagram);
                        px = cx, py = cy;
                    });
                }
                p.Line(px, py, X(a * L), Y(Mc), kDiagram);
                if (a < 1) {
                    p.Line(X(L), Y(Mj), X(a * L), Y(Mc), kDiagram);
                    hatch(L * a, L,
                          [&](double u) { return Mc + (Mj - Mc) * (u - a * L) / ((1 - a) * L); });
                }
                break;
            }
            default:
                break;
        }
    }

    const double Mn = s.M(n + 1);
    p.Label(kNodeRow, xR, Mn > 0 ? Y(Mn) - 150 : Y(Mn) + 30,
            [&] { return MomentText(Mn, "###0.00000"); });
    p.Line(xR, y0, xR, Y(Mn), kDiagram);
}

}  // namespace cbeam
