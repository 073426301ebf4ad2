#include "analysis/envelope.h"

#include <algorithm>

namespace cbeam::analysis {
namespace {

// The larger and the smaller of γ·e and γf·e.
Extremes Factored(double e, double gamma, double gammaF) {
    const double a = gamma * e, b = gammaF * e;
    return {std::max(a, b), std::min(a, b)};
}

}  // namespace

std::vector<LoadGroup> GroupsOf(const Beam& beam, const Combination& combination) {
    std::vector<LoadGroup> out;
    const int n = beam.N();
    for (std::size_t c = 0; c < beam.cases.size(); ++c) {
        const LoadCase& lc = beam.cases[c];
        const auto f = std::find_if(combination.factors.begin(), combination.factors.end(),
                                    [&](const CaseFactors& cf) { return cf.caseName == lc.name; });
        const double gamma = f == combination.factors.end() ? 0 : f->gamma;
        const double gammaF = f == combination.factors.end() ? 0 : f->gammaF;
        const auto add = [&](int span, int node, std::vector<Load> loads) {
            if (loads.empty()) return;
            LoadCase part{lc.name, lc.kind, lc.pattern, lc.psiQ, std::move(loads)};
            out.push_back({c, span, node, gamma, gammaF, GroupLoads(n, part)});
        };
        std::vector<Load> all;
        for (const Load& load : lc.loads) {
            if (load.kind == Load::Kind::Settlement) {
                add(0, load.node, {load});
            } else if (!lc.Patterned()) {
                all.push_back(load);
            }
        }
        add(0, 0, std::move(all));
        for (int k = 1; lc.Patterned() && k <= n; ++k) {
            std::vector<Load> onSpan;
            for (const Load& load : lc.loads) {
                if (load.kind != Load::Kind::Settlement && load.span == k) onSpan.push_back(load);
            }
            add(k, 0, std::move(onSpan));
        }
    }
    return out;
}

void Envelope::Build(const Engine& engine, const Beam& beam, const Combination& combination) {
    m_engine = &engine;
    m_groups = GroupsOf(beam, combination);
    m_results.clear();
    m_results.reserve(m_groups.size());
    for (const LoadGroup& g : m_groups) m_results.push_back(engine.Analyse(g.loads));
}

void Envelope::Effects(int span, Quantity q, std::span<const double> xs, Side side,
                       std::vector<double>& effects) const {
    effects.assign(m_groups.size() * xs.size(), 0.0);
    SpanCurve curve;
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        m_engine->Curve(span, m_results[g], m_groups[g].loads, curve);
        for (std::size_t i = 0; i < xs.size(); ++i) {
            const double x = xs[i];
            effects[g * xs.size() + i] = q == Quantity::Moment  ? curve.Moment(x, side)
                                         : q == Quantity::Shear ? curve.Shear(x, side)
                                                                : curve.Deflection(x);
        }
    }
}

std::vector<Extremes> Envelope::Along(int span, Quantity q, std::span<const double> xs,
                                      Side side) const {
    std::vector<double> effects;
    Effects(span, q, xs, side, effects);
    std::vector<Extremes> out(xs.size());
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        for (std::size_t i = 0; i < xs.size(); ++i) {
            const Extremes e =
                Factored(effects[g * xs.size() + i], m_groups[g].gamma, m_groups[g].gammaF);
            out[i].max += e.max;
            out[i].min += e.min;
        }
    }
    return out;
}

Extremes Envelope::Reaction(int node) const {
    Extremes out;
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        const Extremes e = Factored(m_results[g].R[static_cast<std::size_t>(node - 1)],
                                    m_groups[g].gamma, m_groups[g].gammaF);
        out.max += e.max;
        out.min += e.min;
    }
    return out;
}

std::vector<std::size_t> Envelope::Arrangement(std::span<const double> effects, bool max) const {
    std::vector<std::size_t> out;
    for (std::size_t g = 0; g < m_groups.size() && g < effects.size(); ++g) {
        const LoadGroup& lg = m_groups[g];
        // γ is taken where it gives the extreme asked for; a tie takes γf.
        const double a = lg.gamma * effects[g], b = lg.gammaF * effects[g];
        if (max ? a > b : a < b) out.push_back(g);
    }
    return out;
}

}  // namespace cbeam::analysis

namespace cbeam::analysis {

SpanEnvelope Envelope::Design(int span) const {
    // Provisional, for the windows to build on: stations at L/200.
    SpanEnvelope out;
    SpanCurve c;
    const double l = m_engine->Spans() > 0 ? 0 : 0;
    (void)l;
    std::vector<double> xs;
    m_engine->Curve(span, m_results.empty() ? CaseResult{} : m_results[0],
                    m_groups.empty() ? CaseLoads{} : m_groups[0].loads, c);
    for (int i = 0; i <= 200; ++i) xs.push_back(c.Length() * i / 200);
    const auto m = Along(span, Quantity::Moment, xs), w = Along(span, Quantity::Deflection, xs);
    out.Mmax = {m[0].max, 0}, out.Mmin = {m[0].min, 0}, out.wmax = {w[0].max, 0},
    out.wmin = {w[0].min, 0};
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (m[i].max > out.Mmax.value) out.Mmax = {m[i].max, xs[i]};
        if (m[i].min < out.Mmin.value) out.Mmin = {m[i].min, xs[i]};
        if (w[i].max > out.wmax.value) out.wmax = {w[i].max, xs[i]};
        if (w[i].min < out.wmin.value) out.wmin = {w[i].min, xs[i]};
    }
    out.Vl = Along(span, Quantity::Shear, std::vector<double>{0}, Side::Left)[0];
    out.Vr = Along(span, Quantity::Shear, std::vector<double>{c.Length()}, Side::Left)[0];
    return out;
}

std::vector<std::size_t> Envelope::ArrangementAt(int span, Quantity q, double x, Side side,
                                                 bool max) const {
    std::vector<double> effects;
    Effects(span, q, std::vector<double>{x}, side, effects);
    return Arrangement(effects, max);
}

std::vector<std::size_t> Envelope::ReactionArrangement(int node, bool max) const {
    std::vector<double> effects;
    for (const CaseResult& r : m_results) effects.push_back(r.R[static_cast<std::size_t>(node - 1)]);
    return Arrangement(effects, max);
}

std::vector<int> LoadedSpans(std::span<const LoadGroup> groups,
                             std::span<const std::size_t> arrangement, std::size_t caseIndex) {
    std::vector<int> out;
    for (const std::size_t g : arrangement) {
        const LoadGroup& lg = groups[g];
        if (lg.caseIndex != caseIndex) continue;
        if (lg.span > 0) {
            out.push_back(lg.span);
            continue;
        }
        for (int k = 1; k + 1 < static_cast<int>(lg.loads.first.size()); ++k)
            if (!lg.loads.OnSpan(k).empty()) out.push_back(k);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::string SpanRanges(std::span<const int> spans) {
    std::string out;
    for (std::size_t i = 0; i < spans.size();) {
        // The longest run from spans[i] with a step of 1, or else of 2.
        std::size_t j = i;
        int step = i + 1 < spans.size() ? spans[i + 1] - spans[i] : 1;
        if (step != 1 && step != 2) step = 1;
        while (j + 1 < spans.size() && spans[j + 1] - spans[j] == step) ++j;
        if (!out.empty()) out += ',';
        out += std::to_string(spans[i]);
        if (j > i + (step == 2 ? 1 : 0)) {
            out += '-' + std::to_string(spans[j]);
            if (step == 2) out += "/2";
        } else if (j > i) {
            out += ',' + std::to_string(spans[j]);
        }
        i = j + 1;
    }
    return out;
}

}  // namespace cbeam::analysis
