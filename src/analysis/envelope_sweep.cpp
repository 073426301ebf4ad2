// The sweeps over a beam on rigid supports. Only rotations are unknown
// there, and the stiffness against them is tridiagonal with positive
// couplings. A group on span k loads the two nodes of its span alone; beyond
// them the equations have no load, so each node's rotation is a fixed ratio
// of the next one's towards the group: at node m-1, left of the group,
//   (P(m-1) + 4 e(m)) θ(m-1) + 2 e(m) θ(m) = 0,   e = EI / L,
// where P(m-1) is what the beam left of m-1 gives against turning it. The
// ratio is negative and under 1/2 in size, and the same for every group
// beyond. So every group left of a node changes by the same factor from one
// node to the next: the sum of the larger of γ·e and γf·e over them becomes,
// times a negative factor, the sum of the smaller, and both are carried in
// one sweep from each end. Nothing is cut off: this is the exact sum.
//
// A fixed support holds its rotation: the ratio across it is 0 and the
// beam's parts on either side are apart. A free tip resists nothing, so its
// span's loads reach the rest as the moment statics gives at the root.
#include <algorithm>
#include <cmath>

#include "analysis/envelope.h"

namespace cbeam::analysis {
namespace {

// Effects that all change by the factor t: a negative one swaps the extremes.
Extremes Scaled(const Extremes& e, double t) {
    return t >= 0 ? Extremes{t * e.max, t * e.min} : Extremes{t * e.min, t * e.max};
}

void AddAt(Extremes& to, double e, double hi, double lo) {
    to.max += e >= 0 ? hi * e : lo * e;
    to.min += e >= 0 ? lo * e : hi * e;
}

void AddGroup(Extremes& to, double e, const LoadGroup& g) {
    AddAt(to, e, std::max(g.gamma, g.gammaF), std::min(g.gamma, g.gammaF));
}

double Sign(double v) {
    return v > 0 ? 1 : v < 0 ? -1 : 0;
}

}  // namespace

void Envelope::Sweep(const Beam& beam) {
    const int n = beam.N();
    const auto nodes = static_cast<std::size_t>(n) + 1;
    m_spanFirst.assign(nodes, 0);
    for (const LoadGroup& g : m_groups) {
        if (g.span > 0) ++m_spanFirst[static_cast<std::size_t>(g.span)];
    }
    for (std::size_t k = 1; k < nodes; ++k) m_spanFirst[k] += m_spanFirst[k - 1];
    m_spanGroups.resize(m_spanFirst.back());
    std::vector<std::size_t> at(m_spanFirst.begin(), m_spanFirst.end() - 1);
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        if (m_groups[g].span > 0)
            m_spanGroups[at[static_cast<std::size_t>(m_groups[g].span - 1)]++] = g;
    }
    const auto stiff = [&](int k) {
        return m_ei[static_cast<std::size_t>(k - 1)] / m_l[static_cast<std::size_t>(k - 1)];
    };
    // What the beam on each side of a node gives against turning it.
    std::vector<double> left(nodes, 0.0), right(nodes, 0.0);
    m_toLeft.assign(nodes, 0.0);
    m_toRight.assign(nodes, 0.0);
    for (int j = 1; j <= n; ++j) {
        const auto i = static_cast<std::size_t>(j);
        const double e = stiff(j);
        if (m_kind[i - 1] == SupportKind::Fixed) left[i] = 4 * e;
        if (m_kind[i - 1] != SupportKind::Pinned) continue;
        m_toLeft[i] = -2 * e / (left[i - 1] + 4 * e);
        left[i] = 4 * e + 2 * e * m_toLeft[i];
    }
    for (int j = n - 1; j >= 0; --j) {
        const auto i = static_cast<std::size_t>(j);
        const double e = stiff(j + 1);
        if (m_kind[i + 1] == SupportKind::Fixed) right[i] = 4 * e;
        if (m_kind[i + 1] != SupportKind::Pinned) continue;
        m_toRight[i] = -2 * e / (right[i + 1] + 4 * e);
        right[i] = 4 * e + 2 * e * m_toRight[i];
    }
    // Each group's end rotations: its span's two equations with the rest of
    // the beam condensed into them.
    m_end.assign(m_groups.size(), {0.0, 0.0});
    for (const std::size_t g : m_spanGroups) {
        const int k = m_groups[g].span;
        const auto i = static_cast<std::size_t>(k);
        const auto loads = m_groups[g].SpanLoads();
        const bool pl = m_kind[i - 1] == SupportKind::Pinned, pr = m_kind[i] == SupportKind::Pinned;
        if (m_kind[i - 1] == SupportKind::Free || m_kind[i] == SupportKind::Free) {
            const SpanEnds st = m_engine->EndsOf(k, m_zero, m_zero, loads);
            if (pr && right[i] > 0) m_end[g][1] = -st.Mr / right[i];
            if (pl && left[i - 1] > 0) m_end[g][0] = st.Ml / left[i - 1];
            continue;
        }
        const std::array<double, 4> f = Engine::Equivalent(m_l[i - 1], loads);
        const double e = stiff(k), a = left[i - 1] + 4 * e, d = right[i] + 4 * e, b = 2 * e;
        if (pl && pr) {
            const double det = a * d - b * b;
            m_end[g] = {(d * f[1] - b * f[3]) / det, (a * f[3] - b * f[1]) / det};
        } else if (pl) {
            m_end[g][0] = f[1] / a;
        } else if (pr) {
            m_end[g][1] = f[3] / d;
        }
    }
    m_ownEnds.assign(m_groups.size(), SpanEnds{});
    for (const std::size_t g : m_spanGroups) {
        const int k = m_groups[g].span;
        const auto i = static_cast<std::size_t>(k);
        m_theta[i - 1] = m_end[g][0], m_theta[i] = m_end[g][1];
        m_ownEnds[g] = m_engine->EndsOf(k, m_zero, m_theta, m_groups[g].SpanLoads());
        m_theta[i - 1] = m_theta[i] = 0;
    }
    SweepSums();
}

void Envelope::SweepSums() {
    const std::size_t nodes = m_kind.size();
    m_fromLeft.assign(nodes, Extremes{});
    m_fromRight.assign(nodes, Extremes{});
    for (std::size_t j = 1; j < nodes; ++j) {
        Extremes sum = Scaled(m_fromLeft[j - 1], m_toRight[j - 1]);
        for (std::size_t i = m_spanFirst[j - 1]; i < m_spanFirst[j]; ++i)
            AddGroup(sum, m_end[m_spanGroups[i]][1], m_groups[m_spanGroups[i]]);
        m_fromLeft[j] = sum;
    }
    for (std::size_t j = nodes - 1; j-- > 0;) {
        Extremes sum = Scaled(m_fromRight[j + 1], m_toLeft[j + 1]);
        for (std::size_t i = m_spanFirst[j]; i < m_spanFirst[j + 1]; ++i)
            AddGroup(sum, m_end[m_spanGroups[i]][0], m_groups[m_spanGroups[i]]);
        m_fromRight[j] = sum;
    }
}

SpanEnds Envelope::DirectionEnds(int span, double left, double right) const {
    // A span with no loads of its own between two turned ends, as the
    // engine's span stiffness gives it; a cantilever carries nothing from
    // beyond its root.
    const auto k = static_cast<std::size_t>(span - 1);
    if (m_kind[k] == SupportKind::Free || m_kind[k + 1] == SupportKind::Free) return {};
    const double l = m_l[k], i = m_ei[k] / l;
    SpanEnds e{-i * (4 * left + 2 * right), i * (2 * left + 4 * right), 0, 0};
    e.Vl = e.Vr = -6 * i * (left + right) / l;
    // Nothing else balances an outer end: what no support holds is exactly 0.
    if (k == 0 && m_kind[0] != SupportKind::Fixed) e.Ml = 0;
    if (k + 2 == m_kind.size() && m_kind[k + 1] != SupportKind::Fixed) e.Mr = 0;
    return e;
}

void Envelope::Direction(int span, double left, double right, SpanCurve& out) const {
    const double l = m_l[static_cast<std::size_t>(span - 1)];
    const double ei = m_ei[static_cast<std::size_t>(span - 1)];
    if (m_kind[static_cast<std::size_t>(span - 1)] == SupportKind::Free) {
        out.Build(SpanStart{l, ei, 0, 0, -right * l, right}, {});  // turned about its root
        return;
    }
    const SpanEnds e = DirectionEnds(span, left, right);
    out.Build(SpanStart{l, ei, e.Ml, e.Vl, 0, left}, {});
}

SpanEnds Envelope::OwnEnds(std::size_t g) const {
    return m_ownEnds[g];
}

void Envelope::Own(std::size_t g, SpanCurve& out) const {
    const int k = m_groups[g].span;
    const auto loads = m_groups[g].SpanLoads();
    const double l = m_l[static_cast<std::size_t>(k - 1)];
    const double ei = m_ei[static_cast<std::size_t>(k - 1)];
    const SpanEnds e = OwnEnds(g);
    if (m_kind[static_cast<std::size_t>(k - 1)] != SupportKind::Free) {
        out.Build(SpanStart{l, ei, e.Ml, e.Vl, 0, m_end[g][0]}, loads);
        return;
    }
    // A free tip's motion is what makes the root's deflection 0 and its
    // rotation the one found; both are linear in the tip's.
    out.Build(SpanStart{l, ei, e.Ml, e.Vl, 0, 0}, loads);
    const double t0 = m_end[g][1] - out.Slope(l);
    out.Build(SpanStart{l, ei, e.Ml, e.Vl, -out.Deflection(l) / 1000 - t0 * l, t0}, loads);
}

double Envelope::OwnReaction(std::size_t g, int node) const {
    // The group's span and the one beyond it on the other side of the node.
    const int j = node - 1, k = m_groups[g].span, n = static_cast<int>(m_l.size());
    const SpanEnds own = OwnEnds(g);
    if (k == j) {
        const double t = m_end[g][1];
        return -own.Vr +
               (j < n ? DirectionEnds(j + 1, t, t * m_toRight[static_cast<std::size_t>(j)]).Vl : 0);
    }
    const double t = m_end[g][0];
    return own.Vl -
           (j >= 1 ? DirectionEnds(j, t * m_toLeft[static_cast<std::size_t>(j)], t).Vr : 0);
}

std::array<double, 2> Envelope::UnitReactions(int node) const {
    // Node j's reaction when the node left of it turns by 1 under the groups
    // beyond it, and when the node right of it does.
    const int j = node - 1, n = static_cast<int>(m_l.size());
    const auto i = static_cast<std::size_t>(j);
    std::array<double, 2> out{0, 0};
    if (j >= 1) {
        const double t = m_toRight[i - 1];
        out[0] =
            -DirectionEnds(j, 1, t).Vr + (j < n ? DirectionEnds(j + 1, t, t * m_toRight[i]).Vl : 0);
    }
    if (j < n) {
        const double t = m_toLeft[i + 1];
        out[1] =
            DirectionEnds(j + 1, t, 1).Vl - (j >= 1 ? DirectionEnds(j, t * m_toLeft[i], t).Vr : 0);
    }
    return out;
}

Extremes Envelope::SweptReaction(int node) const {
    Extremes out;
    const auto j = static_cast<std::size_t>(node - 1);
    if (m_kind[j] == SupportKind::Free) return out;
    for (std::size_t i = 0; i < m_whole.size(); ++i)
        AddGroup(out, (*m_results)[i].R[j], m_groups[m_whole[i]]);
    const std::size_t nodes = m_kind.size();
    for (std::size_t i = m_spanFirst[j == 0 ? 0 : j - 1];
         i < m_spanFirst[std::min(j + 1, nodes - 1)]; ++i)
        AddGroup(out, OwnReaction(m_spanGroups[i], node), m_groups[m_spanGroups[i]]);
    const std::array<double, 2> unit = UnitReactions(node);
    if (j >= 2) AddAt(out, unit[0], m_fromLeft[j - 1].max, m_fromLeft[j - 1].min);
    if (j + 2 < nodes) AddAt(out, unit[1], m_fromRight[j + 1].max, m_fromRight[j + 1].min);
    return out;
}

void Envelope::SweptReactions(int node, bool signs, std::vector<double>& out) const {
    out.assign(m_groups.size(), 0.0);
    const auto j = static_cast<std::size_t>(node - 1);
    if (m_kind[j] == SupportKind::Free) return;
    for (std::size_t i = 0; i < m_whole.size(); ++i) out[m_whole[i]] = (*m_results)[i].R[j];
    const std::size_t nodes = m_kind.size();
    for (std::size_t i = m_spanFirst[j == 0 ? 0 : j - 1];
         i < m_spanFirst[std::min(j + 1, nodes - 1)]; ++i)
        out[m_spanGroups[i]] = OwnReaction(m_spanGroups[i], node);
    const std::array<double, 2> unit = UnitReactions(node);
    Beyond(j >= 1 ? j - 1 : 0, j >= 1 ? unit[0] : 0, j + 1, unit[1], signs, out);
}

void Envelope::Beyond(std::size_t leftNode, double leftUnit, std::size_t rightNode,
                      double rightUnit, bool signs, std::vector<double>& out) const {
    // The groups of the spans ending at or before leftNode, by the rotation
    // they give it, and those starting at or after rightNode likewise; by
    // sign only, the far ones do not vanish below the smallest number.
    double f = signs ? Sign(leftUnit) : leftUnit;
    for (std::size_t m = leftNode; m >= 1 && f != 0; --m) {
        for (std::size_t i = m_spanFirst[m - 1]; i < m_spanFirst[m]; ++i) {
            const double t = m_end[m_spanGroups[i]][1];
            out[m_spanGroups[i]] = signs ? Sign(t) * f : t * f;
        }
        f *= signs ? Sign(m_toRight[m - 1]) : m_toRight[m - 1];
    }
    const std::size_t n = m_l.size();
    f = signs ? Sign(rightUnit) : rightUnit;
    for (std::size_t m = rightNode + 1; m <= n && f != 0; ++m) {
        for (std::size_t i = m_spanFirst[m - 1]; i < m_spanFirst[m]; ++i) {
            const double t = m_end[m_spanGroups[i]][0];
            out[m_spanGroups[i]] = signs ? Sign(t) * f : t * f;
        }
        f *= signs ? Sign(m_toLeft[m]) : m_toLeft[m];
    }
}

void Envelope::SweptEffects(int span, Quantity q, double x, Side side, bool signs,
                            std::vector<double>& out) const {
    out.assign(m_groups.size(), 0.0);
    SpanCurve c;
    for (std::size_t i = 0; i < m_whole.size(); ++i) {
        m_engine->Curve(span, (*m_results)[i], m_groups[m_whole[i]].Loads(), c);
        out[m_whole[i]] = Value(c, q, x, side);
    }
    const auto k = static_cast<std::size_t>(span);
    for (std::size_t i = m_spanFirst[k - 1]; i < m_spanFirst[k]; ++i) {
        Own(m_spanGroups[i], c);
        out[m_spanGroups[i]] = Value(c, q, x, side);
    }
    Direction(span, 1, m_toRight[k - 1], c);
    const double left = Value(c, q, x, side);
    Direction(span, m_toLeft[k], 1, c);
    Beyond(k - 1, left, k, Value(c, q, x, side), signs, out);
}

}  // namespace cbeam::analysis
