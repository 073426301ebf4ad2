#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "model/structure.h"

// An answer of our own for any general beam by a different method: direct
// integration (Macaulay's functions) from the left end, the node motion
// there and every support reaction as unknowns, one condition per support,
// solved by dense elimination in long double.
namespace cbeam::testing {

using LD = long double;

class Oracle {
  public:
    Oracle(const Beam& beam, const LoadCase& lc);
    // M, V, deflection (mm) at x on span k (1..N); `right`: just right of a jump.
    LD Moment(int k, LD x, bool right) const { return At(k, x, right)[2]; }
    LD Shear(int k, LD x, bool right) const { return At(k, x, right)[3]; }
    LD Deflection(int k, LD x) const { return 1000 * At(k, x, true)[0]; }
    std::vector<LD> w, theta, R, M;  // by node: mm, rad, kN, kN·m as the engine's node moments

  private:
    using State = std::vector<LD>;  // w, theta, M, V
    State At(int k, LD x, bool right) const;
    const Beam& m_beam;
    const LoadCase& m_case;
    std::vector<State> m_start;  // each span's state at x = 0 before its loads
};

// Adds to the state (w, theta, M, V; each an affine row of `width` values, the
// constant last) what the loads of span k do up to x.
inline void Integrate(const Beam& b, const LoadCase& lc, int k, LD x, bool right, std::vector<LD>* s, int width) {
    const LD ei = b.Rigidity(k);
    // What a load term r^p / p! in M adds up the chain to w.
    const auto term = [&](LD f, LD a, int p) {
        const LD r = x - a;
        if (r < 0 || (r == 0 && !right) || f == 0) return;
        LD fact = 1;
        for (int i = 2; i <= p; ++i) fact *= i;
        const auto pw = [&](int e) { return e < 0 ? 0 : std::pow(r, static_cast<LD>(e)); };
        s[2][width - 1] += f * pw(p) / fact;
        s[1][width - 1] += f * pw(p + 1) / (fact * (p + 1)) / ei;
        s[0][width - 1] += f * pw(p + 2) / (fact * (p + 1) * (p + 2)) / ei;
        s[3][width - 1] -= p == 0 ? 0 : f * pw(p - 1) / (fact / p);
    };
    for (const Load& l : lc.loads) {
        if (l.span != k || l.kind == Load::Kind::Settlement) continue;
        if (l.kind == Load::Kind::Point) {
            term(l.q1, l.x1, 1);
        } else if (l.kind == Load::Kind::Moment) {
            term(-l.q1, l.x1, 0);
        } else if (l.x2 > l.x1) {
            const LD q2 = l.kind == Load::Kind::Linear ? l.q2 : l.q1, slope = (q2 - l.q1) / (LD(l.x2) - l.x1);
            term(l.q1, l.x1, 2);
            term(slope, l.x1, 3);
            term(-q2, l.x2, 2);
            term(-slope, l.x2, 3);
        }
    }
}

inline Oracle::Oracle(const Beam& b, const LoadCase& lc) : m_beam(b), m_case(lc) {
    const int n = b.N();
    std::vector<std::pair<int, int>> unknowns;  // (node, 0: R, 1: couple)
    for (int j = 1; j <= n + 1; ++j) {
        const Support& s = b.SupportAt(j);
        if (s.kind != SupportKind::Free) unknowns.push_back({j, 0});
        if (s.kind == SupportKind::Fixed || s.kr > 0) unknowns.push_back({j, 1});
    }
    const int u = 2 + static_cast<int>(unknowns.size()), width = u + 1;
    std::vector<LD> st[4];
    for (auto& row : st) row.assign(static_cast<std::size_t>(width), 0);
    st[0][0] = 1;
    st[1][1] = 1;
    std::vector<std::vector<LD>> eq;
    std::vector<State> nodeRows;  // w, theta, then R of each node, unsolved
    std::vector<std::vector<LD>> ws, ts, Ms;
    for (int j = 1, at = 2; j <= n + 1; ++j) {
        const Support& s = b.SupportAt(j);
        std::vector<LD> rr(static_cast<std::size_t>(width), 0), rc = rr;
        for (; at < u && unknowns[static_cast<std::size_t>(at - 2)].first == j; ++at) {
            (unknowns[static_cast<std::size_t>(at - 2)].second == 0 ? rr : rc)[static_cast<std::size_t>(at)] = 1;
        }
        LD settle = 0;
        for (const Load& l : lc.loads) {
            if (l.kind == Load::Kind::Settlement && l.node == j) settle += l.q1 / 1000.0L;
        }
        for (int i = 0; i < width; ++i) {
            st[3][i] += rr[i];
            st[2][i] -= rc[i];
        }
        auto cond = [&](const std::vector<LD>& a, LD fa, const std::vector<LD>& c, LD fc, LD rhs) {
            std::vector<LD> e(static_cast<std::size_t>(width));
            for (int i = 0; i < width; ++i) e[i] = fa * a[i] + fc * c[i];
            e[u] -= rhs;
            eq.push_back(e);
        };
        if (s.HoldsDeflection()) cond(st[0], 1, rr, 0, settle);
        if (s.kind == SupportKind::Fixed) cond(st[1], 1, rr, 0, 0);
        if (s.kind == SupportKind::Spring) cond(rr, 1, st[0], -s.k, 0);
        if (s.kind == SupportKind::Spring && s.kr > 0) cond(rc, 1, st[1], s.kr, 0);
        ws.push_back(st[0]);
        ts.push_back(st[1]);
        nodeRows.push_back(rr);
        Ms.push_back(st[2]);
        if (j == n + 1) {
            cond(st[2], 1, rr, 0, 0);
            cond(st[3], 1, rr, 0, 0);
            break;
        }
        m_start.push_back(State());
        for (auto& row : st) m_start.back().insert(m_start.back().end(), row.begin(), row.end());
        // Across the span: the free motion of the left end, then the loads.
        const LD L = b.SpanAt(j).L, ei = b.Rigidity(j);
        for (int i = 0; i < width; ++i) {
            st[0][i] += st[1][i] * L + (st[2][i] * L * L / 2 - st[3][i] * L * L * L / 6) / ei;
            st[1][i] += (st[2][i] * L - st[3][i] * L * L / 2) / ei;
            st[2][i] -= st[3][i] * L;
        }
        Integrate(b, lc, j, L, true, st, width);
    }
    // Gaussian elimination with partial pivoting on the u conditions.
    for (int c = 0; c < u; ++c) {
        int p = c;
        for (int r = c + 1; r < u; ++r) p = std::fabs(eq[r][c]) > std::fabs(eq[p][c]) ? r : p;
        std::swap(eq[c], eq[p]);
        for (int r = 0; r < u; ++r) {
            if (r == c || eq[r][c] == 0) continue;
            const LD f = eq[r][c] / eq[c][c];
            for (int i = c; i < width; ++i) eq[r][i] -= f * eq[c][i];
        }
    }
    std::vector<LD> x(static_cast<std::size_t>(width), 1);
    for (int c = 0; c < u; ++c) x[c] = -eq[c][u] / eq[c][c];
    const auto value = [&](const std::vector<LD>& row, std::size_t off = 0) {
        LD v = 0;
        for (int i = 0; i < width; ++i) v += row[off + i] * x[i];
        return v;
    };
    for (std::size_t j = 0; j <= static_cast<std::size_t>(n); ++j) {
        w.push_back(1000 * value(ws[j]));
        theta.push_back(value(ts[j]));
        R.push_back(value(nodeRows[j]));
        M.push_back(value(Ms[j]));
    }
    for (State& s : m_start) {
        State v(4);
        for (std::size_t c = 0; c < 4; ++c) v[c] = value(s, c * static_cast<std::size_t>(width));
        s = v;
    }
    // The last node's moment is the one just left of it, as the engine's.
    M.back() = At(n, b.SpanAt(n).L, true)[2];
}

inline Oracle::State Oracle::At(int k, LD x, bool right) const {
    const State& s0 = m_start[static_cast<std::size_t>(k - 1)];
    const LD ei = m_beam.Rigidity(k);
    std::vector<LD> s[4] = {{s0[0] + s0[1] * x + (s0[2] * x * x / 2 - s0[3] * x * x * x / 6) / ei},
                            {s0[1] + (s0[2] * x - s0[3] * x * x / 2) / ei},
                            {s0[2] - s0[3] * x},
                            {s0[3]}};
    Integrate(m_beam, m_case, k, x, right, s, 1);
    return {s[0][0], s[1][0], s[2][0], s[3][0]};
}

}  // namespace cbeam::testing
