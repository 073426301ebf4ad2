#include "analysis/influence.h"

#include <algorithm>
#include <cmath>

namespace cbeam::analysis {
namespace {

// The cubic through four values at 1/8, 3/8, 5/8 and 7/8 of [a, a + h], as
// coefficients in u = ξ - a: exact for a cubic, whose values inside the
// stretch do not see the jump a section may put at either end.
template <class F>
void Cubic(double a, double h, F f, double* c) {
    const double t[4] = {0.125, 0.375, 0.625, 0.875};
    double d[4];
    for (int i = 0; i < 4; ++i) d[i] = f(a + h * t[i]);
    for (int k = 1; k < 4; ++k) {
        for (int i = 3; i >= k; --i) d[i] = (d[i] - d[i - 1]) / (t[i] - t[i - k]);
    }
    // Newton's form to powers of τ = u / h, then of u.
    double p[4] = {d[3], 0, 0, 0};
    for (int k = 2; k >= 0; --k) {
        for (int i = 3; i >= 1; --i) p[i] = p[i - 1] - t[k] * p[i];
        p[0] = d[k] - t[k] * p[0];
    }
    double scale = 1;
    for (int i = 0; i < 4; ++i, scale *= h) c[i] = p[i] / scale;
}

double Cube(const double* c, double u) {
    return ((c[3] * u + c[2]) * u + c[1]) * u + c[0];
}

}  // namespace

Status InfluenceLine::Build(const Engine& engine, const Beam& beam, const InfluenceAt& at) {
    const int n = beam.N();
    m_pieces.clear();
    m_start.assign(static_cast<std::size_t>(n) + 1, 0.0);
    for (int k = 1; k <= n; ++k)
        m_start[static_cast<std::size_t>(k)] =
            m_start[static_cast<std::size_t>(k - 1)] + beam.SpanAt(k).L;
    const bool reaction = at.what == InfluenceOf::Reaction;
    if (reaction ? at.node < 1 || at.node > n + 1 : at.span < 1 || at.span > n)
        return Status{.code = Code::LoadSpanOutside,
                      .have = reaction ? at.node : at.span,
                      .need = reaction ? 1 : 0};
    if (!reaction && !(at.x >= 0 && at.x <= beam.SpanAt(at.span).L))
        return Status{.code = Code::SectionOutsideSpan, .span = at.span};
    const auto nodes = static_cast<std::size_t>(n) + 1;
    std::vector<double> w(nodes, 0.0), theta(nodes, 0.0);
    // The quantity from the engine's own formulas, for motions w, theta and
    // the loads `loads` on span `on`: affine in both, so its gradient and its
    // value with the motions held are all the line needs.
    const auto value = [&](int on, std::span<const Load> loads) {
        const auto span = [&](int k) { return k == on ? loads : std::span<const Load>{}; };
        if (reaction) {
            const int j = at.node;
            if (beam.SupportAt(j).kind == SupportKind::Free) return 0.0;
            const double right = j <= n ? engine.EndsOf(j, w, theta, span(j)).Vl : 0;
            const double left = j >= 2 ? engine.EndsOf(j - 1, w, theta, span(j - 1)).Vr : 0;
            return right - left;
        }
        const int k = at.span;
        const SpanEnds e = engine.EndsOf(k, w, theta, span(k));
        const SpanCurve c(
            SpanStart{beam.SpanAt(k).L, beam.Rigidity(k), e.Ml, e.Vl,
                      w[static_cast<std::size_t>(k - 1)], theta[static_cast<std::size_t>(k - 1)]},
            span(k));
        switch (at.what) {
            case InfluenceOf::Moment:
                return c.Moment(at.x, at.side);
            case InfluenceOf::Shear:
                return c.Shear(at.x, at.side);
            default:
                return c.Deflection(at.x);
        }
    };
    // The spans whose end motions the quantity reads.
    const int first = reaction ? std::max(at.node - 1, 1) : at.span;
    const int last = reaction ? std::min(at.node, n) : at.span;
    std::vector<double> z = engine.NewLoadVector();
    for (int k = first; k <= last; ++k) {
        const std::array<int, 4> dof = engine.SpanUnknowns(k);
        for (int a = 0; a < 4; ++a) {
            if (dof[a] < 0 || z[static_cast<std::size_t>(dof[a])] != 0) continue;
            std::vector<double>& motion = a % 2 == 0 ? w : theta;
            const auto node = static_cast<std::size_t>(k - 1 + a / 2);
            motion[node] = 1;
            z[static_cast<std::size_t>(dof[a])] = value(0, {});
            motion[node] = 0;
        }
    }
    // The stiffness is symmetric: the motions under the gradient as a load
    // are the line's values at the unknowns.
    engine.Solve(z);
    for (int k = 1; k <= n; ++k) {
        const std::array<int, 4> dof = engine.SpanUnknowns(k);
        double m[4];
        for (int a = 0; a < 4; ++a) m[a] = dof[a] >= 0 ? z[static_cast<std::size_t>(dof[a])] : 0;
        const double l = beam.SpanAt(k).L;
        // The load's share of each end motion: the span's shape functions.
        const double hermite[4] = {m[0], m[1], 3 * (m[2] - m[0]) / (l * l) - (2 * m[1] + m[3]) / l,
                                   2 * (m[0] - m[2]) / (l * l * l) + (m[1] + m[3]) / (l * l)};
        std::vector<double> cuts{0, l};
        if (k >= first && k <= last && !reaction && at.x > 0 && at.x < l) cuts = {0, at.x, l};
        for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
            InfluencePiece p{k, cuts[i], cuts[i + 1], {}};
            for (int a = 0; a < 4; ++a) p.c[a] = hermite[a];
            // Re-centred on the piece's start.
            const double d = p.x0;
            p.c[0] = Cube(hermite, d);
            p.c[1] = (3 * hermite[3] * d + 2 * hermite[2]) * d + hermite[1];
            p.c[2] = 3 * hermite[3] * d + hermite[2];
            if (k >= first && k <= last) {
                double local[4];
                Cubic(
                    p.x0, p.x1 - p.x0,
                    [&](double xi) {
                        const Load unit = Load::Point(k, 1, xi);
                        return value(k, std::span<const Load>(&unit, 1));
                    },
                    local);
                for (int a = 0; a < 4; ++a) p.c[a] += local[a];
            }
            m_pieces.push_back(p);
        }
    }
    // Extremes from the roots of the slopes, areas from the roots.
    m_area[0] = m_area[1] = 0;
    for (std::size_t i = 0; i < m_pieces.size(); ++i) {
        const InfluencePiece& p = m_pieces[i];
        const double h = p.x1 - p.x0;
        const auto [hi, lo] = ExtremesOf(p);
        if (i == 0 || hi.value > m_max.value) m_max = hi;
        if (i == 0 || lo.value < m_min.value) m_min = lo;
        double roots[3], cuts[5] = {0};
        int m = 1 + RootsIn(p.c, 3, 0, h, roots);
        std::copy(roots, roots + m - 1, cuts + 1);
        cuts[m++] = h;
        const auto integral = [&](double u) {
            return u * (p.c[0] + u * (p.c[1] / 2 + u * (p.c[2] / 3 + u * p.c[3] / 4)));
        };
        for (int i = 0; i + 1 < m; ++i) {
            const double a = integral(cuts[i + 1]) - integral(cuts[i]);
            m_area[a >= 0 ? 0 : 1] += a;
        }
    }
    return {};
}

double InfluenceLine::At(int span, double x, Side side) const {
    const auto first = std::lower_bound(m_pieces.begin(), m_pieces.end(), span,
                                        [](const InfluencePiece& p, int k) { return p.span < k; });
    auto it = first;
    while (it + 1 != m_pieces.end() && (it + 1)->span == span &&
           (side == Side::Right ? x >= (it + 1)->x0 : x > (it + 1)->x0))
        ++it;
    return it->At(x);
}

std::pair<InfluenceExtreme, InfluenceExtreme> ExtremesOf(const InfluencePiece& p) {
    const double h = p.x1 - p.x0;
    double slope[3] = {p.c[1], 2 * p.c[2], 3 * p.c[3]}, xs[4] = {0};
    const int roots = RootsIn(slope, 2, 0, h, xs + 1), count = roots + 2;
    xs[roots + 1] = h;
    std::pair<InfluenceExtreme, InfluenceExtreme> out;
    for (int i = 0; i < count; ++i) {
        const InfluenceExtreme e{Cube(p.c, xs[i]), p.span, p.x0 + xs[i]};
        if (i == 0 || e.value > out.first.value) out.first = e;
        if (i == 0 || e.value < out.second.value) out.second = e;
    }
    return out;
}

TrainExtremes WorstPositions(const InfluenceLine& line, const Train& train, bool rightward) {
    TrainExtremes out;
    const auto pieces = line.Pieces();
    // Where each piece lies along the beam.
    std::vector<double> from, to;
    for (const InfluencePiece& p : pieces) {
        from.push_back(line.Start(p.span) + p.x0);
        to.push_back(line.Start(p.span) + p.x1);
    }
    bool seen = false;
    {
        const double sign = rightward ? 1 : -1;
        std::vector<double> breaks;
        for (const double o : train.offsets) {
            for (std::size_t i = 0; i < pieces.size(); ++i)
                breaks.insert(breaks.end(), {from[i] + sign * o, to[i] + sign * o});
        }
        std::sort(breaks.begin(), breaks.end());
        breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
        for (std::size_t b = 0; b + 1 < breaks.size(); ++b) {
            const double a = breaks[b], h = breaks[b + 1] - a, mid = a + h / 2;
            double sum[4] = {0, 0, 0, 0};
            for (std::size_t i = 0; i < train.loads.size(); ++i) {
                const double at = mid - sign * train.offsets[i];
                const auto it = std::upper_bound(from.begin(), from.end(), at);
                if (it == from.begin() || at > to[static_cast<std::size_t>(it - from.begin() - 1)])
                    continue;
                const std::size_t k = static_cast<std::size_t>(it - from.begin() - 1);
                // The piece as a cubic in s = X - a, X the first load's place.
                const double d = a - sign * train.offsets[i] - from[k];
                const double* c = pieces[k].c;
                const double shifted[4] = {Cube(c, d), (3 * c[3] * d + 2 * c[2]) * d + c[1],
                                           3 * c[3] * d + c[2], c[3]};
                for (int m = 0; m < 4; ++m) sum[m] += train.loads[i] * shifted[m];
            }
            double slope[3] = {sum[1], 2 * sum[2], 3 * sum[3]}, xs[4] = {0, h};
            const int count = 2 + RootsIn(slope, 2, 0, h, xs + 2);
            for (int i = 0; i < count; ++i) {
                const TrainPosition p{Cube(sum, xs[i]), a + xs[i], rightward};
                if (!seen || p.value > out.max.value) out.max = p;
                if (!seen || p.value < out.min.value) out.min = p;
                seen = true;
            }
        }
    }
    out.max.value += train.lane * line.PositiveArea();
    out.min.value += train.lane * line.NegativeArea();
    return out;
}

}  // namespace cbeam::analysis
