// The arrangements of the extremes as the spans each case loads. On rigid
// supports the groups beyond a span turn its ends with signs that alternate
// from node to node, so those that take γ are, on each side, the spans of one
// class of a fixed split of the case's spans (by the sign of the rotation
// each gives the node next to it, times (-1)^span) up to the nearest held
// node: a range of runs, cut out of lists made once.
#include <algorithm>
#include <utility>

#include "analysis/envelope.h"

namespace cbeam::analysis {
namespace {

double Sign(double v) {
    return v > 0 ? 1 : v < 0 ? -1 : 0;
}
double Parity(int n) {
    return n % 2 == 0 ? 1 : -1;
}

// Adds span k to ascending runs.
void Push(std::vector<SpanRun>& runs, int k) {
    if (!runs.empty()) {
        SpanRun& r = runs.back();
        if (r.first == r.last && (k - r.last == 1 || k - r.last == 2)) {
            r.step = k - r.last, r.last = k;
            return;
        }
        if (r.first != r.last && k - r.last == r.step) {
            r.last = k;
            return;
        }
    }
    runs.push_back({k, k, 1});
}

// The spans of `runs` within [lo, hi], appended.
void Clip(const std::vector<SpanRun>& runs, int lo, int hi, std::vector<SpanRun>& out) {
    auto it = std::lower_bound(runs.begin(), runs.end(), lo,
                               [](const SpanRun& r, int v) { return r.last < v; });
    for (; it != runs.end() && it->first <= hi; ++it) {
        const int s = it->step;
        const int first =
            it->first >= lo ? it->first : it->first + (lo - it->first + s - 1) / s * s;
        const int last = it->last <= hi ? it->last : it->first + (hi - it->first) / s * s;
        if (first <= last) out.push_back({first, last, s});
    }
}

}  // namespace

void Envelope::Runs(const Beam& beam) {
    m_cases.assign(beam.cases.size(), CaseRuns{});
    for (const LoadGroup& g : m_groups) {
        m_cases[g.caseIndex].gamma = g.gamma;
        m_cases[g.caseIndex].gammaF = g.gammaF;
    }
    std::vector<char> loaded(static_cast<std::size_t>(beam.N()) + 1);
    for (std::size_t c = 0; c < beam.cases.size(); ++c) {
        std::fill(loaded.begin(), loaded.end(), 0);
        for (const Load& load : beam.cases[c].loads) {
            if (load.kind != Load::Kind::Settlement)
                loaded[static_cast<std::size_t>(load.span)] = 1;
        }
        for (int k = 1; k <= beam.N(); ++k) {
            if (loaded[static_cast<std::size_t>(k)]) Push(m_cases[c].loaded, k);
        }
    }
    if (!m_swept) return;
    for (const std::size_t g : m_spanGroups) {
        const int k = m_groups[g].span;
        CaseRuns& c = m_cases[m_groups[g].caseIndex];
        for (const int side : {0, 1}) {
            const double a = Sign(m_end[g][side == 0 ? 1 : 0]) * Parity(k);
            if (a != 0) Push(c.turning[side][a > 0 ? 0 : 1], k);
        }
    }
    const auto nodes = static_cast<int>(m_kind.size());
    m_heldBefore.assign(m_kind.size(), 0);
    m_heldAfter.assign(m_kind.size(), nodes - 1);
    for (int j = 0; j < nodes; ++j) {
        const bool held = m_kind[static_cast<std::size_t>(j)] != SupportKind::Pinned;
        m_heldBefore[static_cast<std::size_t>(j)] =
            held    ? j
            : j > 0 ? m_heldBefore[static_cast<std::size_t>(j - 1)]
                    : 0;
    }
    for (int j = nodes - 1; j >= 0; --j) {
        const bool held = m_kind[static_cast<std::size_t>(j)] != SupportKind::Pinned;
        m_heldAfter[static_cast<std::size_t>(j)] =
            held || j == nodes - 1 ? j : m_heldAfter[static_cast<std::size_t>(j + 1)];
    }
}

std::vector<std::string> Envelope::Loaded(std::span<const std::pair<std::size_t, double>> near,
                                          int leftNode, double leftUnit, int rightNode,
                                          double rightUnit, bool max) const {
    std::vector<std::string> out(m_cases.size());
    std::vector<SpanRun> runs;
    const auto takes = [&](std::size_t g, double e) {
        const double a = m_groups[g].gamma * e, b = m_groups[g].gammaF * e;
        return max ? a > b : a < b;
    };
    for (std::size_t c = 0; c < m_cases.size(); ++c) {
        const CaseRuns& cr = m_cases[c];
        const double sg = Sign(cr.gamma - cr.gammaF) * (max ? 1 : -1);
        runs.clear();
        const double tl = sg * Parity(leftNode) * Sign(leftUnit);
        if (leftNode >= 1 && tl != 0) {
            Clip(cr.turning[0][tl > 0 ? 0 : 1],
                 std::max(m_heldBefore[static_cast<std::size_t>(leftNode)], 1), leftNode, runs);
        }
        for (const auto& [g, e] : near) {
            const LoadGroup& lg = m_groups[g];
            if (lg.caseIndex != c || lg.node > 0 || !takes(g, e)) continue;
            if (lg.span == 0) {
                runs = cr.loaded;
                break;
            }
            runs.push_back({lg.span, lg.span, 1});
        }
        const double tr = sg * Parity(rightNode + 1) * Sign(rightUnit);
        if (tr != 0) {
            Clip(cr.turning[1][tr > 0 ? 0 : 1], rightNode + 1,
                 m_heldAfter[static_cast<std::size_t>(rightNode)], runs);
        }
        out[c] = SpanRanges(runs);
    }
    return out;
}

std::vector<std::string> Envelope::LoadedAt(int span, Quantity q, double x, Side side,
                                            bool max) const {
    std::vector<std::pair<std::size_t, double>> near;
    if (!m_swept) {
        std::vector<double> effects;
        Effects(span, q, std::vector<double>{x}, side, effects);
        for (std::size_t g = 0; g < effects.size(); ++g) near.emplace_back(g, effects[g]);
        return Loaded(near, 0, 0, static_cast<int>(m_l.size()), 0, max);
    }
    SpanCurve c;
    for (std::size_t i = 0; i < m_whole.size(); ++i) {
        m_engine->Curve(span, (*m_results)[i], m_groups[m_whole[i]].Loads(), c);
        near.emplace_back(m_whole[i], Value(c, q, x, side));
    }
    const auto k = static_cast<std::size_t>(span);
    for (std::size_t i = m_spanFirst[k - 1]; i < m_spanFirst[k]; ++i) {
        Own(m_spanGroups[i], c);
        near.emplace_back(m_spanGroups[i], Value(c, q, x, side));
    }
    Direction(span, 1, m_toRight[k - 1], c);
    const double left = Value(c, q, x, side);
    Direction(span, m_toLeft[k], 1, c);
    return Loaded(near, span - 1, left, span, Value(c, q, x, side), max);
}

std::vector<std::string> Envelope::LoadedForReaction(int node, bool max) const {
    std::vector<std::pair<std::size_t, double>> near;
    const int j = node - 1;
    if (!m_swept) {
        for (std::size_t g = 0; g < m_groups.size(); ++g)
            near.emplace_back(g, (*m_results)[g].R[static_cast<std::size_t>(j)]);
        return Loaded(near, 0, 0, static_cast<int>(m_l.size()), 0, max);
    }
    if (m_kind[static_cast<std::size_t>(j)] == SupportKind::Free)
        return Loaded({}, 0, 0, 0, 0, max);
    for (std::size_t i = 0; i < m_whole.size(); ++i)
        near.emplace_back(m_whole[i], (*m_results)[i].R[static_cast<std::size_t>(j)]);
    const std::size_t nodes = m_kind.size(), n = static_cast<std::size_t>(j);
    for (std::size_t i = m_spanFirst[n == 0 ? 0 : n - 1];
         i < m_spanFirst[std::min(n + 1, nodes - 1)]; ++i)
        near.emplace_back(m_spanGroups[i], OwnReaction(m_spanGroups[i], node));
    const std::array<double, 2> unit = UnitReactions(node);
    return Loaded(near, j >= 1 ? j - 1 : 0, j >= 1 ? unit[0] : 0, j + 1, unit[1], max);
}

}  // namespace cbeam::analysis
