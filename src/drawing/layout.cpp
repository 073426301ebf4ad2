#include "drawing/layout.h"

#include <algorithm>
#include <cmath>

#include "canvas/canvas.h"
#include "text/format.h"
#include "text/number.h"

namespace cbeam {
namespace {

// Canvases this size or larger are not pictures any more; their integer
// coordinates would no longer fit the 32-bit arithmetic of the layout.
constexpr double kMaxExtent = 1e9;

// Rounds a canvas quantity to a 32-bit integer, halves to even; empty when it
// is not finite or out of range.
std::optional<std::int32_t> RoundToInt(double v) {
    const double r = RoundHalfEven(v);
    if (!std::isfinite(r) || std::fabs(r) > kMaxExtent) return std::nullopt;
    return static_cast<std::int32_t>(r);
}

bool UsableHeight(double H) {
    return std::isfinite(H) && std::fabs(H) < kMaxExtent;
}

bool AllFinite(const SpanMoments& m) {
    return std::isfinite(m.Mp) && std::isfinite(m.Mc) && std::isfinite(m.Mm) && std::isfinite(m.v);
}

}  // namespace

CanvasSize ScaleOf(PixelSize px, double twipsPerVerticalUnit) {
    return {px.width * kTwipsPerPixel, px.height * kTwipsPerPixel / twipsPerVerticalUnit};
}

std::optional<XMapping> BeamXMapping(const DesignBeam& s, double W) {
    // A canvas of 1200 units or less leaves no room between the two margins.
    if (!(W > 2 * kMargin) || !(W < kMaxExtent)) return std::nullopt;
    if (s.N < 1 || s.L.Count() < s.N) return std::nullopt;
    XMapping m;
    const auto xR = RoundToInt(W - kMargin);
    if (!xR) return std::nullopt;
    m.xR = *xR;
    for (int i = 1; i <= s.N; ++i) m.Ltot += s.L(i);
    if (!std::isfinite(m.Ltot) || !(m.Ltot > 0)) return std::nullopt;
    m.kx = (m.xR - 600) / m.Ltot;
    if (!std::isfinite(m.kx) || !(m.kx > 0)) return std::nullopt;
    return m;
}

std::vector<double> NodeXs(const DesignBeam& s, const XMapping& m) {
    std::vector<double> xs;
    double d = 0;
    xs.push_back(m.kx * d + kMargin);
    for (int i = 1; i <= s.N; ++i) {
        xs.push_back((d + s.L(i)) * m.kx + kMargin);
        d = d + s.L(i);
    }
    return xs;
}

double LabelLeft(double centreX, std::string_view text) {
    return centreX - kCharWidth * static_cast<double>(CountChars(text)) / 2;
}

std::optional<SchematicLayout> LayOutSchematic(const DesignBeam& s, double W, double H) {
    const auto map = BeamXMapping(s, W);
    if (!map || !UsableHeight(H) || s.EI.Count() < s.N) return std::nullopt;
    const auto y0 = RoundToInt(H / 2 - 200);
    if (!y0) return std::nullopt;
    return SchematicLayout{*map, static_cast<double>(*y0), map->kx * map->Ltot + kMargin};
}

SpanMoments SpanMomentsOf(const DesignState& s, int i) {
    SpanMoments r;
    const double L = s.L(i);
    const double a = s.A(i);
    const double w = s.Q(i);
    const double Mi = s.M(i);
    const double Mj = s.M(i + 1);
    switch (s.Kind(i)) {
        case LoadKind::Uniform:
            r.Mc = Mi + (Mj - Mi) * a - L * L * a * a * w * (1 - a) / 2;
            r.Mm = (Mi + r.Mc) / 2 - L * L * a * a * w / 8;
            r.v = r.Mm;
            break;
        case LoadKind::Point:
            r.Mp = Mi + (Mj - Mi) * a - L * w * a * (1 - a);
            r.v = (Mi + Mj) / 2 - L * w * (1 - a) * a;
            break;
        default:
            break;
    }
    return r;
}

std::optional<DiagramLayout> LayOutDiagram(const DesignState& s, double W, double H,
                                           std::int32_t hatchSpacing, double largest) {
    if (!UsableHeight(H)) return std::nullopt;
    // The design's ordinate of H - 1400 about an axis at mid-height leaves
    // the largest moment about 260 units below the top of its picture; a taller
    // picture would run it off the top, so it stays at least 200 below it.
    const auto h = RoundToInt(std::min(H - 1400, H / 2 - 300));
    const auto y0 = RoundToInt(H / 2 - 100);
    const auto map = BeamXMapping(s, W);
    if (!h || !y0 || !map) return std::nullopt;
    const int n = s.N;
    if (s.M.Count() < n + 1 || s.LoadType.Count() < n || s.Q.Count() < n || s.A.Count() < n) {
        return std::nullopt;
    }
    DiagramLayout lay;
    lay.x = *map;
    lay.h = *h;
    lay.y0 = *y0;
    lay.ds = hatchSpacing / map->kx;
    if (std::isfinite(largest)) lay.Mmax = std::fabs(largest);
    for (int k = 1; k <= n + 1; ++k) {
        if (!std::isfinite(s.M(k))) return std::nullopt;
        lay.Mmax = std::max(lay.Mmax, std::fabs(s.M(k)));
    }
    for (int i = 1; i <= n; ++i) {
        const SpanMoments m = SpanMomentsOf(s, i);
        if (!AllFinite(m)) return std::nullopt;
        lay.Mmax = std::max(lay.Mmax, std::fabs(m.v));
    }
    lay.ky = lay.Mmax != 0 ? lay.h / lay.Mmax : lay.h;
    // Moments so small that the scale overflows are zero on any canvas.
    if (!std::isfinite(lay.ky)) lay.ky = lay.h;
    return lay;
}

}  // namespace cbeam
