#include "analysis/engine.h"

#include <cmath>

namespace cbeam::analysis {

namespace {

// Gauss-Legendre with three points: exact for the quartic integrand of a
// linear load against a cubic shape function.
constexpr double kGaussX[3] = {-0.7745966692414833770, 0, 0.7745966692414833770};
constexpr double kGaussW[3] = {5.0 / 9, 8.0 / 9, 5.0 / 9};

bool RotationHeld(const Support& s) {
    return s.kind == SupportKind::Fixed || (s.kind == SupportKind::Spring && s.kr > 0);
}

}  // namespace

CaseLoads GroupLoads(int spans, const LoadCase& lc) {
    CaseLoads out;
    const auto n = static_cast<std::size_t>(spans);
    out.first.assign(n + 1, 0);
    out.settlement.assign(n + 1, 0.0);
    for (const Load& load : lc.loads) {
        if (load.kind == Load::Kind::Settlement) {
            out.settlement[static_cast<std::size_t>(load.node - 1)] += load.q1 / 1000;
        } else {
            ++out.first[static_cast<std::size_t>(load.span)];
        }
    }
    for (std::size_t k = 1; k <= n; ++k) out.first[k] += out.first[k - 1];
    out.loads.resize(out.first[n]);
    std::vector<std::size_t> at(out.first.begin(), out.first.end() - 1);
    for (const Load& load : lc.loads) {
        if (load.kind != Load::Kind::Settlement)
            out.loads[at[static_cast<std::size_t>(load.span - 1)]++] = load;
    }
    return out;
}

Status Engine::Build(const Beam& beam) {
    m_spans.clear();
    m_band.Reset(0, 0);
    if (Status r = Validate(beam); !r) return r;
    const int n = beam.N();
    m_supports = beam.supports;
    m_wdof.assign(static_cast<std::size_t>(n) + 1, -1);
    m_tdof.assign(static_cast<std::size_t>(n) + 1, -1);
    int next = 0;
    for (std::size_t j = 0; j <= static_cast<std::size_t>(n); ++j) {
        const SupportKind kind = m_supports[j].kind;
        if (kind != SupportKind::Pinned && kind != SupportKind::Fixed) m_wdof[j] = next++;
        if (kind != SupportKind::Fixed) m_tdof[j] = next++;
    }
    m_spans.resize(static_cast<std::size_t>(n));
    for (std::size_t k = 0; k < m_spans.size(); ++k) {
        SpanData& s = m_spans[k];
        s.L = beam.spans[k].L;
        s.EI = beam.Rigidity(static_cast<int>(k) + 1);
        s.dof = {m_wdof[k], m_tdof[k], m_wdof[k + 1], m_tdof[k + 1]};
    }
    // Consecutive nodes own consecutive unknowns, so a span couples unknowns
    // at most three apart.
    m_band.Reset(next, 3);
    for (const SpanData& s : m_spans) {
        // The span's stiffness, as Stiffness gives it column by column.
        const double l = s.L, i = s.EI / l;
        const double a = 12 * i / (l * l), b = 6 * i / l, c = 4 * i, e = 2 * i;
        const double k[4][4] = {{a, b, -a, b}, {b, c, -b, e}, {-a, -b, a, -b}, {b, e, -b, c}};
        for (std::size_t p = 0; p < 4; ++p) {
            for (std::size_t q = 0; q < 4; ++q) {
                const int row = s.dof[p], col = s.dof[q];
                if (row >= 0 && col >= 0 && row >= col) m_band.At(row, col) += k[p][q];
            }
        }
    }
    for (std::size_t j = 0; j <= static_cast<std::size_t>(n); ++j) {
        const Support& s = m_supports[j];
        if (s.kind != SupportKind::Spring) continue;
        m_band.At(m_wdof[j], m_wdof[j]) += s.k;
        m_band.At(m_tdof[j], m_tdof[j]) += s.kr;
    }
    if (Status r = m_band.Factor(); !r) {
        m_spans.clear();
        return r;
    }
    return {};
}

std::array<double, 4> Engine::Stiffness(const SpanData& s, const std::array<double, 4>& d) {
    const double l = s.L, i = s.EI / l;
    const double a = 12 * i / (l * l), b = 6 * i / l, c = 4 * i, e = 2 * i;
    const double dw = d[0] - d[2];
    return {a * dw + b * (d[1] + d[3]), b * dw + c * d[1] + e * d[3], -a * dw - b * (d[1] + d[3]),
            b * dw + e * d[1] + c * d[3]};
}

std::array<double, 4> Engine::Equivalent(double l, std::span<const Load> loads) {
    std::array<double, 4> f{};
    const auto shape = [&](double x, double weight) {
        const double t = x / l, s = 1 - t;
        f[0] += weight * (1 + t * t * (2 * t - 3));
        f[1] += weight * l * t * s * s;
        f[2] += weight * t * t * (3 - 2 * t);
        f[3] -= weight * l * t * t * s;
    };
    for (const Load& load : loads) {
        switch (load.kind) {
            case Load::Kind::Point:
                shape(load.x1, load.q1);
                break;
            case Load::Kind::Moment: {
                const double t = load.x1 / l, s = 1 - t, c = load.q1;
                f[0] -= c * 6 * t * s / l;
                f[1] += c * s * (1 - 3 * t);
                f[2] += c * 6 * t * s / l;
                f[3] += c * t * (3 * t - 2);
                break;
            }
            case Load::Kind::Uniform:
            case Load::Kind::Linear: {
                if (!(load.x2 > load.x1)) break;
                const double half = (load.x2 - load.x1) / 2, mid = load.x1 + half;
                for (int g = 0; g < 3; ++g) {
                    const double x = mid + half * kGaussX[g];
                    shape(x, half * kGaussW[g] * load.Intensity(x));
                }
                break;
            }
            case Load::Kind::Settlement:
                break;
        }
    }
    return f;
}

void Engine::AddSpanLoads(int span, std::span<const Load> loads, double factor,
                          std::span<double> rhs) const {
    const SpanData& s = m_spans[static_cast<std::size_t>(span - 1)];
    const std::array<double, 4> f = Equivalent(s.L, loads);
    for (std::size_t a = 0; a < 4; ++a) {
        if (s.dof[a] >= 0) rhs[static_cast<std::size_t>(s.dof[a])] += factor * f[a];
    }
}

void Engine::AddSettlements(std::span<const double> settlement, double factor,
                            std::span<double> rhs) const {
    for (std::size_t k = 0; k < m_spans.size(); ++k) {
        if (settlement[k] == 0 && settlement[k + 1] == 0) continue;
        const SpanData& s = m_spans[k];
        const std::array<double, 4> f = Stiffness(s, {settlement[k], 0, settlement[k + 1], 0});
        for (std::size_t a = 0; a < 4; ++a) {
            if (s.dof[a] >= 0) rhs[static_cast<std::size_t>(s.dof[a])] -= factor * f[a];
        }
    }
}

void Engine::NodeMotion(std::span<const double> solution, std::span<const double> settlement,
                        std::vector<double>& w, std::vector<double>& theta) const {
    const std::size_t nodes = m_wdof.size();
    w.assign(nodes, 0.0);
    theta.assign(nodes, 0.0);
    for (std::size_t j = 0; j < nodes; ++j) {
        if (m_wdof[j] >= 0) {
            w[j] = solution[static_cast<std::size_t>(m_wdof[j])];
        } else if (!settlement.empty()) {
            w[j] = settlement[j];
        }
        if (m_tdof[j] >= 0) theta[j] = solution[static_cast<std::size_t>(m_tdof[j])];
    }
}

SpanEnds Engine::EndsOf(int span, std::span<const double> w, std::span<const double> theta,
                        std::span<const Load> loads, double factor) const {
    return EndsFrom(span, w, theta,
                    Equivalent(m_spans[static_cast<std::size_t>(span - 1)].L, loads), loads,
                    factor);
}

SpanEnds Engine::EndsFrom(int span, std::span<const double> w, std::span<const double> theta,
                          const std::array<double, 4>& eq, std::span<const Load> loads,
                          double factor) const {
    const auto k = static_cast<std::size_t>(span - 1);
    const SpanData& s = m_spans[k];
    std::array<double, 4> f = Stiffness(s, {w[k], theta[k], w[k + 1], theta[k + 1]});
    for (std::size_t a = 0; a < 4; ++a) f[a] -= factor * eq[a];
    SpanEnds e{-f[1], f[3], -f[0], f[2]};
    // At an outer end nothing else balances the span's end forces, so what
    // nothing holds is zero exactly, not to rounding; a cantilever's other
    // end carries its loads by statics alone.
    const Support& left = m_supports[k];
    const Support& right = m_supports[k + 1];
    if (left.kind == SupportKind::Free || right.kind == SupportKind::Free) {
        // The loads' resultant (down) and their moment about the left node
        // (clockwise), with the couples.
        double force = 0, moment = 0;
        for (const Load& load : loads) {
            if (load.kind == Load::Kind::Point) force += load.q1, moment += load.q1 * load.x1;
            if (load.kind == Load::Kind::Moment) moment += load.q1;
            if (!load.Distributed() || !(load.x2 > load.x1)) continue;
            const double half = (load.x2 - load.x1) / 2, mid = load.x1 + half;
            for (int g = 0; g < 3; ++g) {
                const double x = mid + half * kGaussX[g], p = half * kGaussW[g] * load.Intensity(x);
                force += p;
                moment += p * x;
            }
        }
        force *= factor;
        moment *= factor;
        if (right.kind == SupportKind::Free) {
            e.Vl = force;
            e.Ml = moment;
        } else {
            e.Vr = -force;
            e.Mr = force * s.L - moment;
        }
    }
    if (k == 0 && !RotationHeld(left)) e.Ml = 0;
    if (k == 0 && left.kind == SupportKind::Free) e.Vl = 0;
    if (k + 1 == m_spans.size() && !RotationHeld(right)) e.Mr = 0;
    if (k + 1 == m_spans.size() && right.kind == SupportKind::Free) e.Vr = 0;
    return e;
}

CaseResult Engine::Analyse(const CaseLoads& loads) const {
    CaseResult r;
    const int n = Spans();
    std::vector<double> x = NewLoadVector();
    // The clamped-end loads serve twice: in the load vector and in the end forces.
    std::vector<std::array<double, 4>> eq(static_cast<std::size_t>(n));
    for (std::size_t k = 0; k < eq.size(); ++k) {
        const SpanData& s = m_spans[k];
        eq[k] = Equivalent(s.L, loads.OnSpan(static_cast<int>(k) + 1));
        for (std::size_t a = 0; a < 4; ++a) {
            if (s.dof[a] >= 0) x[static_cast<std::size_t>(s.dof[a])] += eq[k][a];
        }
    }
    AddSettlements(loads.settlement, 1, x);
    Solve(x);
    NodeMotion(x, loads.settlement, r.w, r.theta);
    r.ends.reserve(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k) {
        r.ends.push_back(
            EndsFrom(k, r.w, r.theta, eq[static_cast<std::size_t>(k - 1)], loads.OnSpan(k), 1));
    }
    const auto nodes = static_cast<std::size_t>(n) + 1;
    r.M.resize(nodes);
    r.R.resize(nodes);
    for (std::size_t j = 0; j < nodes; ++j) {
        r.M[j] = j < r.ends.size() ? r.ends[j].Ml : r.ends.back().Mr;
        const double right = j < r.ends.size() ? r.ends[j].Vl : 0;
        const double left = j > 0 ? r.ends[j - 1].Vr : 0;
        r.R[j] = m_supports[j].kind == SupportKind::Free ? 0 : right - left;
        r.w[j] *= 1000;
    }
    return r;
}

void Engine::Curve(int span, const CaseResult& result, const CaseLoads& loads,
                   SpanCurve& out) const {
    const auto k = static_cast<std::size_t>(span - 1);
    const SpanData& s = m_spans[k];
    const SpanEnds& e = result.ends[k];
    out.Build(SpanStart{s.L, s.EI, e.Ml, e.Vl, result.w[k] / 1000, result.theta[k]},
              loads.OnSpan(span));
}

std::vector<SpanDesign> Engine::Design(const CaseResult& result, const CaseLoads& loads) const {
    std::vector<SpanDesign> out;
    out.reserve(m_spans.size());
    SpanCurve curve;
    for (int k = 1; k <= Spans(); ++k) {
        Curve(k, result, loads, curve);
        out.push_back(DesignOf(curve));
    }
    return out;
}

}  // namespace cbeam::analysis
