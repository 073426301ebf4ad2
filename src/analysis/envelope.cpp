#include "analysis/envelope.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

namespace cbeam::analysis {
namespace {

// The larger and the smaller of γ·e and γf·e.
Extremes Factored(double e, double gamma, double gammaF) {
    const double a = gamma * e, b = gammaF * e;
    return {std::max(a, b), std::min(a, b)};
}

// An effect at factor 1 added to the extremes, with the pair of factors
// (hi >= lo) it may take.
void Add(Extremes& to, double e, double hi, double lo) {
    to.max += e >= 0 ? hi * e : lo * e;
    to.min += e >= 0 ? lo * e : hi * e;
}

// The coefficients of p(x0 + u) (degree deg) as a polynomial in s = x - a.
void Shifted(const double* p, int deg, double x0, double a, double* out) {
    const double d = a - x0;
    for (int k = 0; k <= deg; ++k) out[k] = p[k];
    for (int i = 0; i < deg; ++i) {
        for (int k = deg - 1; k >= i; --k) out[k] += d * out[k + 1];
    }
}

// M (degree 3) or w in mm (degree 5) of a piece, in u = x - x0.
int PiecePoly(const SpanCurve::Piece& p, double ei, Quantity q, double* out) {
    if (q == Quantity::Moment) {
        for (int k = 0; k < 4; ++k) out[k] = p.m[k];
        return 3;
    }
    const double f = 1000 / ei;
    out[0] = 1000 * p.w0, out[1] = 1000 * p.theta0;
    out[2] = f * p.m[0] / 2, out[3] = f * p.m[1] / 6, out[4] = f * p.m[2] / 12;
    out[5] = f * p.m[3] / 20;
    return 5;
}

const SpanCurve::Piece& PieceOver(const SpanCurve& c, double x) {
    const auto pieces = c.Pieces();
    const auto it = std::upper_bound(pieces.begin(), pieces.end(), x,
                                     [](double v, const SpanCurve::Piece& p) { return v < p.x0; });
    return it == pieces.begin() ? pieces.front() : *(it - 1);
}

// A case's factors in a combination; a case it does not name takes no part.
std::pair<double, double> FactorsOf(const LoadCase& lc, const Combination& combination) {
    const auto f = std::find_if(combination.factors.begin(), combination.factors.end(),
                                [&](const CaseFactors& cf) { return cf.caseName == lc.name; });
    return f == combination.factors.end() ? std::pair(0.0, 0.0) : std::pair(f->gamma, f->gammaF);
}

}  // namespace

std::vector<LoadGroup> GroupsOf(const Beam& beam, const Combination& combination, bool compact) {
    std::vector<LoadGroup> out;
    const int n = beam.N();
    out.reserve(beam.cases.size() * (static_cast<std::size_t>(n) + 1));
    std::vector<std::vector<Load>> bySpan(static_cast<std::size_t>(n) + 1);
    for (std::size_t c = 0; c < beam.cases.size(); ++c) {
        const LoadCase& lc = beam.cases[c];
        const auto [gamma, gammaF] = FactorsOf(lc, combination);
        const auto add = [&](int span, int node, std::vector<Load> loads) {
            if (loads.empty()) return;
            LoadGroup g{c, span, node, gamma, gammaF, {}};
            if (compact && span > 0) {
                CaseLoads own;
                own.loads = std::move(loads);
                g.loads = std::make_shared<const CaseLoads>(std::move(own));
            } else {
                LoadCase part{lc.name, lc.kind, lc.pattern, lc.psiQ, std::move(loads)};
                g.loads = std::make_shared<const CaseLoads>(GroupLoads(n, part));
            }
            out.push_back(std::move(g));
        };
        std::vector<Load> all;
        for (const Load& load : lc.loads) {
            if (load.kind == Load::Kind::Settlement) {
                add(0, load.node, {load});
            } else if (!lc.Patterned()) {
                all.push_back(load);
            } else {
                bySpan[static_cast<std::size_t>(load.span)].push_back(load);
            }
        }
        add(0, 0, std::move(all));
        for (int k = 1; lc.Patterned() && k <= n; ++k)
            add(k, 0, std::move(bySpan[static_cast<std::size_t>(k)]));
        for (auto& v : bySpan) v.clear();
    }
    return out;
}

Status CheckEnvelopeSize(const Beam& beam) {
    // Group results of about 80 bytes a node: 5e6 group-nodes take 400 MB.
    constexpr double kMostGroupNodes = 5e6;
    const bool springs =
        std::any_of(beam.supports.begin(), beam.supports.end(),
                    [](const Support& s) { return s.kind == SupportKind::Spring; });
    if (!springs) return {};
    const auto n = static_cast<std::size_t>(beam.N());
    std::size_t groups = 0;
    std::vector<char> loaded(n + 1);
    for (const LoadCase& lc : beam.cases) {
        ++groups;
        if (!lc.Patterned()) continue;
        std::fill(loaded.begin(), loaded.end(), 0);
        for (const Load& l : lc.loads) {
            if (l.kind == Load::Kind::Settlement) {
                ++groups;
            } else if (l.span >= 1 && static_cast<std::size_t>(l.span) <= n && !loaded[l.span]) {
                loaded[static_cast<std::size_t>(l.span)] = 1;
                ++groups;
            }
        }
    }
    if (static_cast<double>(groups) * static_cast<double>(n + 1) <= kMostGroupNodes) return {};
    return Status{.code = Code::EnvelopeTooLarge,
                  .have = static_cast<int>(std::min<std::size_t>(groups, INT_MAX)),
                  .need = beam.N()};
}

void Envelope::Build(const Engine& engine, const Beam& beam, const Combination& combination) {
    m_engine = &engine;
    m_termsSpan = 0;
    const int n = beam.N();
    m_l.resize(static_cast<std::size_t>(n));
    m_ei.resize(m_l.size());
    for (int k = 1; k <= n; ++k) {
        m_l[static_cast<std::size_t>(k - 1)] = beam.SpanAt(k).L;
        m_ei[static_cast<std::size_t>(k - 1)] = beam.Rigidity(k);
    }
    m_kind.clear();
    for (const Support& s : beam.supports) m_kind.push_back(s.kind);
    m_swept = std::none_of(m_kind.begin(), m_kind.end(),
                           [](SupportKind k) { return k == SupportKind::Spring; });
    // A swept group needs its span's loads only.
    m_groups = GroupsOf(beam, combination, m_swept);
    m_zero.assign(static_cast<std::size_t>(n) + 1, 0.0);
    m_theta = m_zero;
    auto results = std::make_shared<std::vector<CaseResult>>();
    m_whole.clear();
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        if (m_swept && m_groups[g].span > 0) continue;
        results->push_back(engine.Analyse(m_groups[g].Loads()));
        m_whole.push_back(g);
    }
    m_results = std::move(results);
    if (m_swept) Sweep(beam);
    Runs(beam);
}

void Envelope::Rebuild(const Envelope& built, const Beam& beam, const Combination& combination) {
    if (this != &built) *this = built;
    m_termsSpan = 0;
    m_terms.clear();
    for (LoadGroup& g : m_groups) {
        std::tie(g.gamma, g.gammaF) = FactorsOf(beam.cases[g.caseIndex], combination);
        m_cases[g.caseIndex].gamma = g.gamma;
        m_cases[g.caseIndex].gammaF = g.gammaF;
    }
    if (m_swept) SweepSums();
}

double Envelope::Value(const SpanCurve& c, Quantity q, double x, Side side) const {
    return q == Quantity::Moment  ? c.Moment(x, side)
           : q == Quantity::Shear ? c.Shear(x, side)
                                  : c.Deflection(x);
}

const std::vector<Envelope::Term>& Envelope::Terms(int span) const {
    if (m_termsSpan == span) return m_terms;
    std::size_t used = 0;
    const auto next = [&]() -> Term& {
        if (used == m_terms.size()) m_terms.emplace_back();
        m_terms[used].shown = true;
        return m_terms[used++];
    };
    for (std::size_t i = 0; i < m_whole.size(); ++i) {
        const std::size_t g = m_whole[i];
        Term& t = next();
        m_engine->Curve(span, (*m_results)[i], m_groups[g].Loads(), t.curve);
        t.hi = std::max(m_groups[g].gamma, m_groups[g].gammaF);
        t.lo = std::min(m_groups[g].gamma, m_groups[g].gammaF);
        t.shown = m_swept || !m_groups[g].Loads().OnSpan(span).empty();
    }
    if (m_swept) {
        const auto k = static_cast<std::size_t>(span);
        for (std::size_t i = m_spanFirst[k - 1]; i < m_spanFirst[k]; ++i) {
            const std::size_t g = m_spanGroups[i];
            Term& t = next();
            Own(g, t.curve);
            t.hi = std::max(m_groups[g].gamma, m_groups[g].gammaF);
            t.lo = std::min(m_groups[g].gamma, m_groups[g].gammaF);
        }
        // The groups left of the span turn its left end by 1 (and its right
        // end in ratio); those right of it turn its right end by 1.
        const Extremes& left = m_fromLeft[k - 1];
        if (left.max != 0 || left.min != 0) {
            Term& t = next();
            Direction(span, 1, m_toRight[k - 1], t.curve);
            t.hi = left.max, t.lo = left.min;
        }
        const Extremes& right = m_fromRight[k];
        if (right.max != 0 || right.min != 0) {
            Term& t = next();
            Direction(span, m_toLeft[k], 1, t.curve);
            t.hi = right.max, t.lo = right.min;
        }
    }
    m_terms.resize(used);
    m_termsSpan = span;
    return m_terms;
}

void Envelope::Effects(int span, Quantity q, std::span<const double> xs, Side side,
                       std::vector<double>& effects) const {
    effects.assign(m_groups.size() * xs.size(), 0.0);
    std::vector<double> at;
    SpanCurve curve;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (m_swept) {
            SweptEffects(span, q, xs[i], side, false, at);
        } else {
            at.resize(m_groups.size());
            for (std::size_t g = 0; g < m_groups.size(); ++g) {
                m_engine->Curve(span, (*m_results)[g], m_groups[g].Loads(), curve);
                at[g] = Value(curve, q, xs[i], side);
            }
        }
        for (std::size_t g = 0; g < m_groups.size(); ++g) effects[g * xs.size() + i] = at[g];
    }
}

std::vector<Extremes> Envelope::Along(int span, Quantity q, std::span<const double> xs,
                                      Side side) const {
    std::vector<Extremes> out(xs.size());
    const auto each = [&](const Term& t, auto value) {
        for (std::size_t i = 0; i < xs.size(); ++i) Add(out[i], value(xs[i]), t.hi, t.lo);
    };
    for (const Term& t : Terms(span)) {
        const SpanCurve& c = t.curve;
        if (q == Quantity::Moment) each(t, [&](double x) { return c.Moment(x, side); });
        if (q == Quantity::Shear) each(t, [&](double x) { return c.Shear(x, side); });
        if (q == Quantity::Deflection) each(t, [&](double x) { return c.Deflection(x); });
    }
    return out;
}

Extremes Envelope::Reaction(int node) const {
    Extremes out;
    if (m_swept) return SweptReaction(node);
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        const Extremes e = Factored((*m_results)[g].R[static_cast<std::size_t>(node - 1)],
                                    m_groups[g].gamma, m_groups[g].gammaF);
        out.max += e.max;
        out.min += e.min;
    }
    return out;
}

SpanEnvelope Envelope::Design(int span) const {
    const std::vector<Term>& terms = Terms(span);
    SpanEnvelope out;
    const double l = m_l[static_cast<std::size_t>(span - 1)];
    const auto at = [&](Quantity q, double x, Side side) {
        Extremes e;
        for (const Term& t : terms) Add(e, Value(t.curve, q, x, side), t.hi, t.lo);
        return e;
    };
    out.Vl = at(Quantity::Shear, 0, Side::Left);
    out.Vr = at(Quantity::Shear, l, Side::Left);
    for (const Quantity q : {Quantity::Moment, Quantity::Deflection})
        ExtremesAlong(span, q, q == Quantity::Moment ? out.Mmax : out.wmax,
                      q == Quantity::Moment ? out.Mmin : out.wmin);
    return out;
}

void Envelope::ExtremesAlong(int span, Quantity q, EnvelopeAt& hi, EnvelopeAt& lo) const {
    // Between the breaks of every curve and the zeros of every effect each
    // term keeps its factor, so each envelope is one polynomial there: its
    // extremes are at the breaks or at the roots of its derivative. The sums
    // are carried from stretch to stretch, a term changed only where it
    // breaks, and the few candidates that come near the extreme are valued
    // exactly.
    const std::vector<Term>& terms = m_terms;
    const double l = m_l[static_cast<std::size_t>(span - 1)];
    struct Break {
        double x;
        std::size_t term;
    };
    std::vector<Break> breaks;
    int deg = q == Quantity::Moment ? 3 : 5;
    double size = 0;
    for (std::size_t t = 0; t < terms.size(); ++t) {
        for (const SpanCurve::Piece& p : terms[t].curve.Pieces()) {
            double c[6], roots[5];
            PiecePoly(p, terms[t].curve.Rigidity(), q, c);
            if (p.x0 > 0) breaks.push_back({p.x0, t});
            for (int r = RootsIn(c, deg, 0, p.x1 - p.x0, roots), i = 0; i < r; ++i)
                breaks.push_back({p.x0 + roots[i], t});
        }
        if (q == Quantity::Moment)
            size += terms[t].curve.Scale() * std::max(terms[t].hi, -terms[t].lo);
    }
    std::sort(breaks.begin(), breaks.end(),
              [](const Break& a, const Break& b) { return a.x < b.x; });
    std::vector<double> fmax(terms.size()), fmin(terms.size());
    double sum[2][6] = {}, origin = 0;
    const auto change = [&](std::size_t t, double sign, double mid) {
        const SpanCurve& c = terms[t].curve;
        const SpanCurve::Piece& p = PieceOver(c, mid);
        double poly[6], s[6];
        PiecePoly(p, c.Rigidity(), q, poly);
        Shifted(poly, deg, p.x0, origin, s);
        for (int k = 0; k <= deg; ++k)
            sum[0][k] += sign * fmax[t] * s[k], sum[1][k] += sign * fmin[t] * s[k];
    };
    const auto factors = [&](std::size_t t, double mid) {
        const double v = Value(terms[t].curve, q, mid, Side::Right);
        fmax[t] = v >= 0 ? terms[t].hi : terms[t].lo;
        fmin[t] = v >= 0 ? terms[t].lo : terms[t].hi;
    };
    struct Candidate {
        double x;
        Side side;
        double v[2];
    };
    // The span's end values (what its supports give it) are not the limits
    // of its pieces where a couple stands at an end.
    std::vector<Candidate> candidates;
    for (const auto& [x, side] : {std::pair{0.0, Side::Left}, std::pair{l, Side::Right}}) {
        Extremes v;
        for (const Term& t : terms) Add(v, Value(t.curve, q, x, side), t.hi, t.lo);
        candidates.push_back({x, side, {v.max, v.min}});
    }
    std::size_t e = 0;
    double a = 0, b = breaks.empty() ? l : std::min(breaks[0].x, l);
    for (std::size_t t = 0; t < terms.size(); ++t)
        factors(t, 0.5 * (a + b)), change(t, 1, 0.5 * (a + b));
    std::vector<std::size_t> moved;
    for (;;) {
        const double h = b - a;
        const auto value = [&](int m, double u) {
            double v = sum[m][deg];
            for (int k = deg - 1; k >= 0; --k) v = v * u + sum[m][k];
            return v;
        };
        const auto add = [&](double x, Side side, double u) {
            candidates.push_back({x, side, {value(0, u), value(1, u)}});
        };
        add(a, Side::Right, 0);
        for (int m = 0; m < 2 && h > 0; ++m) {
            double slope[5], roots[4];
            for (int k = 0; k < deg; ++k) slope[k] = (k + 1) * sum[m][k + 1];
            for (int r = RootsIn(slope, deg - 1, 0, h, roots), i = 0; i < r; ++i)
                add(a + roots[i], Side::Right, roots[i]);
        }
        add(b, Side::Left, h);
        if (e >= breaks.size() || b >= l) break;
        // Carry the sums to b, then change the terms that break there.
        double shifted[6];
        for (int m = 0; m < 2; ++m) {
            Shifted(sum[m], deg, origin, b, shifted);
            std::copy(shifted, shifted + deg + 1, sum[m]);
        }
        origin = b;
        moved.clear();
        while (e < breaks.size() && breaks[e].x <= b) moved.push_back(breaks[e++].term);
        std::sort(moved.begin(), moved.end());
        moved.erase(std::unique(moved.begin(), moved.end()), moved.end());
        const double before = 0.5 * (a + b);
        a = b;
        b = e < breaks.size() ? std::min(breaks[e].x, l) : l;
        for (const std::size_t t : moved) {
            change(t, -1, before);
            factors(t, 0.5 * (a + b));
            change(t, 1, 0.5 * (a + b));
        }
    }
    // The candidates within reach of the largest (smallest), valued exactly;
    // values within rounding of each other count as equal: the leftmost.
    for (const Candidate& c : candidates)
        size = std::max({size, std::fabs(c.v[0]), std::fabs(c.v[1])});
    double best[2] = {-1e300, 1e300};
    for (const Candidate& c : candidates)
        best[0] = std::max(best[0], c.v[0]), best[1] = std::min(best[1], c.v[1]);
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.x < b.x; });
    bool first[2] = {true, true};
    for (const Candidate& c : candidates) {
        const bool near[2] = {c.v[0] >= best[0] - 1e-9 * size, c.v[1] <= best[1] + 1e-9 * size};
        if (!near[0] && !near[1]) continue;
        Extremes v;
        for (const Term& t : terms) Add(v, Value(t.curve, q, c.x, c.side), t.hi, t.lo);
        const double tie = 1e-13 * size;
        if (near[0] && (first[0] || v.max > hi.value + tie))
            hi = {v.max, c.x, c.side}, first[0] = false;
        if (near[1] && (first[1] || v.min < lo.value - tie))
            lo = {v.min, c.x, c.side}, first[1] = false;
    }
}

std::vector<double> Envelope::GroupExtremes(int span) const {
    const SpanEnvelope e = Design(span);
    std::vector<double> out{e.Mmax.x, e.Mmin.x, e.wmax.x, e.wmin.x};
    for (const Term& t : Terms(span)) {
        if (!t.shown) continue;
        const SpanDesign d = DesignOf(t.curve);
        out.insert(out.end(), {d.xMsag, d.xMhog, d.xw});
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::size_t> Envelope::ArrangementAt(int span, Quantity q, double x, Side side,
                                                 bool max) const {
    std::vector<double> effects;
    if (m_swept) {
        SweptEffects(span, q, x, side, true, effects);
    } else {
        Effects(span, q, std::vector<double>{x}, side, effects);
    }
    return Arrangement(effects, max);
}

std::vector<std::size_t> Envelope::ReactionArrangement(int node, bool max) const {
    std::vector<double> effects;
    if (m_swept) {
        SweptReactions(node, true, effects);
    } else {
        for (const CaseResult& r : *m_results)
            effects.push_back(r.R[static_cast<std::size_t>(node - 1)]);
    }
    return Arrangement(effects, max);
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
        for (int k = 1; k < static_cast<int>(lg.Loads().first.size()); ++k)
            if (!lg.Loads().OnSpan(k).empty()) out.push_back(k);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::string SpanRanges(std::span<const int> spans) {
    std::vector<SpanRun> runs;
    for (const int k : spans) runs.push_back({k, k, 1});
    return SpanRanges(runs);
}

std::string SpanRanges(std::span<const SpanRun> runs) {
    // Greedy from the left: an item runs on while the step it began with
    // holds; a run of the same step is taken whole.
    std::string out;
    std::size_t r = 0;
    int at = runs.empty() ? 0 : runs[0].first;
    const auto next = [&] {
        if (at < runs[r].last) {
            at += runs[r].step;
        } else if (++r < runs.size()) {
            at = runs[r].first;
        }
    };
    while (r < runs.size()) {
        const int a = at;
        next();
        int last = a, step = 1, count = 1;
        if (r < runs.size() && (at - a == 1 || at - a == 2)) {
            step = at - a, last = at, count = 2;
            next();
            while (r < runs.size() && at == last + step) {
                if (runs[r].step == step && at < runs[r].last) {
                    count += (runs[r].last - at) / step + 1;
                    last = runs[r].last;
                    at = runs[r].last;
                } else {
                    last = at, ++count;
                }
                next();
            }
        }
        if (!out.empty()) out += ',';
        out += std::to_string(a);
        if (count == 2 && step == 2) out += ',' + std::to_string(last);
        if (count >= 2 && step == 1) out += '-' + std::to_string(last);
        if (count >= 3 && step == 2) out += '-' + std::to_string(last) + "/2";
    }
    return out;
}

}  // namespace cbeam::analysis
