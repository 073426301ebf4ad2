#include <algorithm>
#include <cmath>
#include <string>

#include "drawing/drawings.h"
#include "drawing/layout.h"
#include "drawing/plotter.h"
#include "text/format.h"

namespace cbeam {
namespace {

using drawing_detail::kBlack;
using drawing_detail::kDiagram;
using drawing_detail::Plotter;
using drawing_detail::Steps;

// Label rows and symbol kinds, for thinning out a crowded picture.
enum Row { kNodeRow, kSpanRow };
enum SymbolKind { kSupportSymbol };
// A support's circles and a little room either side.
constexpr double kSupportWidth = 90;

std::string MomentText(double m, const char* pattern) {
    return Format(m, pattern) + "kNm";
}

}  // namespace

void DrawM(const DesignState& s, Canvas& canvas, DiagramStyle style) {
    const bool three = style.threeDecimals;
    const char* pattern = three ? "#####0.000" : "#####0.00000";
    const char* lastPattern = three ? "###0.000" : "###0.00000";
    const auto lay =
        LayOutDiagram(s, canvas.ScaleWidth(), canvas.ScaleHeight(), kHatchSpacing, style.largest);
    if (!lay) return;
    const int n = s.N;
    const double x0 = kMargin;
    const double xR = lay->x.xR;
    const double y0 = lay->y0;
    const double kx = lay->x.kx;
    const double ds = lay->ds;
    const auto Y = [&](double m) { return lay->Y(m); };

    Plotter p(canvas);
    // The support moments are what the diagram is read for.
    p.Yield(kSpanRow);
    if (style.labelsOffCurves) p.LabelsOffCurves();
    p.Apart(kSupportSymbol, kSupportWidth);
    p.Box(x0, y0, xR, y0 + 15, kBlack);

    double d = 0;
    for (int i = 1; i <= n; ++i) {
        const double L = s.L(i);
        const double a = s.A(i);
        const double Mi = s.M(i);
        const double Mj = s.M(i + 1);
        if (i < n) {
            // A long beam's supports crowd the axis, where the labels of
            // small moments sit: a support gives way to a label.
            p.Under(kSupportSymbol, (d + L) * kx + x0, 30, y0, y0 + 180, [&p, y0](double xs) {
                p.Circle(xs, y0 + 30, 30);
                p.Line(xs, y0 + 60, xs, y0 + 120);
                p.Circle(xs, y0 + 150, 30);
            });
        }
        p.Label(kNodeRow, d * kx + x0, lay->NodeLabelTop(Mi, false),
                [&] { return MomentText(Mi, pattern); });
        d = d + L;
        const double left = d - L;
        const auto X = [&](double u) { return (left + u) * kx + x0; };
        const auto hatch = [&](double u1, double u2, auto m) {
            Steps(u1, u2, ds, [&](double u) { p.Hatch(X(u), Y(m(u)), y0, kDiagram); });
        };
        const SpanMoments sm = SpanMomentsOf(s, i);

        switch (s.Kind(i)) {
            case LoadKind::None:
                p.Stroke(X(0), Y(Mi), X(L), Y(Mj), kDiagram);
                hatch(0, L, [&](double u) { return Mi + (Mj - Mi) * u / L; });
                break;
            case LoadKind::Point: {
                const double Mp = sm.Mp;
                p.Label(kSpanRow, X(a * L), Y(Mp) + 100, [&] { return MomentText(Mp, pattern); });
                p.Stroke(X(0), Y(Mi), X(a * L), Y(Mp), kDiagram);
                if (a != 0) hatch(0, L * a, [&](double u) { return Mi + (Mp - Mi) * u / (a * L); });
                if (a < 1) {
                    p.Stroke(X(L), Y(Mj), X(a * L), Y(Mp), kDiagram);
                    hatch(L * a, L,
                          [&](double u) { return Mp + (Mj - Mp) * (u - a * L) / ((1 - a) * L); });
                }
                break;
            }
            case LoadKind::Uniform: {
                const double Mc = sm.Mc;
                const double w = s.Q(i);
                p.Label(kSpanRow, X(a * L / 2), Y(sm.Mm) + 50,
                        [&] { return MomentText(sm.Mm, pattern); });
                const auto mq = [&](double u) {
                    return Mi - u * (Mi - Mj) / L - u * (a * w) * (L - a * L / 2) + u * u * w / 2;
                };
                double px = X(0), py = Y(Mi);
                if (a != 0) {
                    Steps(0, L * a, ds, [&](double u) {
                        const double cx = X(u), cy = Y(mq(u));
                        p.Stroke(px, py, cx, cy, kDiagram);
                        p.Hatch(cx, cy, y0, kDiagram);
                        px = cx, py = cy;
                    });
                }
                p.Stroke(px, py, X(a * L), Y(Mc), kDiagram);
                if (a < 1) {
                    p.Stroke(X(L), Y(Mj), X(a * L), Y(Mc), kDiagram);
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
    p.Label(kNodeRow, xR, lay->NodeLabelTop(Mn, true), [&] { return MomentText(Mn, lastPattern); });
    p.Line(xR, y0, xR, Y(Mn), kDiagram);
    p.KeepOff(xR, y0, xR, Y(Mn));
}

}  // namespace cbeam
