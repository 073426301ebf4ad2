// The worst arrangement: against every arrangement tried one by one, and
// against the textbooks' coefficients for equal spans.
#include "analysis/envelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "random_beams.h"

namespace cbeam::analysis {
namespace {

// One arrangement as a single case: a group at γ where its bit is set, else γf.
CaseLoads Arranged(int n, std::span<const LoadGroup> groups, unsigned mask) {
    LoadCase all;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const double f = (mask >> g) & 1 ? groups[g].gamma : groups[g].gammaF;
        for (Load l : groups[g].Loads().loads) all.loads.push_back((l.q1 *= f, l.q2 *= f, l));
        const std::vector<double>& d = groups[g].Loads().settlement;
        for (int j = 0; j < static_cast<int>(d.size()); ++j)
            if (d[j] != 0) all.loads.push_back(Load::Settlement(j + 1, d[j] * 1000 * f));
    }
    return GroupLoads(n, all);
}

// A random beam's loads shared out between a permanent case and a patterned
// variable one, under random factors.
TEST(Envelope, IsTheExtremeOfEveryArrangement) {
    std::mt19937 rng(2026);
    std::uniform_real_distribution<double> u(0, 1);
    for (int beam = 0; beam < 24; ++beam) {
        SCOPED_TRACE("beam " + std::to_string(beam));
        // Half on rigid supports only, where the groups are swept.
        Beam b = testing::RandomBeam(rng, 1 + beam % 5, {beam % 2 == 0, true, true});
        LoadCase q{"Q", CaseKind::Variable, {}, {}, {}};
        std::vector<Load> kept;
        for (std::size_t i = 0; i < b.cases[0].loads.size(); ++i)
            (i % 2 ? q.loads : kept).push_back(b.cases[0].loads[i]);
        b.cases[0].loads = kept;
        b.cases.push_back(q);
        const Combination co{"C", {{"G", 1 + u(rng), u(rng)}, {"Q", 1.5 * u(rng), 0}}};
        Engine engine;
        ASSERT_TRUE(engine.Build(b));
        Envelope env;
        env.Build(engine, b, co);
        const auto groups = env.Groups();
        ASSERT_LE(groups.size(), 14u);
        std::vector<CaseResult> each;
        for (unsigned mask = 0; mask < (1u << groups.size()); ++mask)
            each.push_back(engine.Analyse(Arranged(b.N(), groups, mask)));
        struct Seen {
            int k;
            double x, max, min, hi, lo;
        };
        std::vector<Seen> seen[3];
        // Each quantity held to its largest size along the beam, or to what a
        // settlement would meet: rounding is all a determinate beam shows.
        double d = 0, size[3] = {1e-9, 1e-9, 1e-9};
        for (const LoadGroup& g : groups)
            for (const double s : g.Loads().settlement) d = std::max(d, std::fabs(s));
        for (int k = 1; k <= b.N(); ++k) {
            const double l = b.SpanAt(k).L, f = b.Rigidity(k) / (l * l) * d;
            size[0] = std::max(size[0], 6 * f), size[1] = std::max(size[1], 12 * f / l);
        }
        size[2] = std::max(size[2], 1000 * d);
        for (int k = 1; k <= b.N(); ++k) {
            // The span's design values: the extremes of every arrangement's own.
            double hog = -1e300, sag = 1e300;
            for (unsigned mask = 0; mask < each.size(); ++mask) {
                SpanCurve c;
                engine.Curve(k, each[mask], Arranged(b.N(), groups, mask), c);
                hog = std::max(hog, DesignOf(c).Mhog), sag = std::min(sag, DesignOf(c).Msag);
            }
            const SpanEnvelope d = env.Design(k);
            seen[0].push_back({k, -1, d.Mmax.value, d.Mmin.value, hog, sag});
            const double l = b.SpanAt(k).L;
            std::vector<double> xs{0, l / 3, l};
            for (const Load& load : b.cases[0].loads) {
                if (load.span == k) xs.push_back(load.x1);
            }
            for (const Quantity qy : {Quantity::Moment, Quantity::Shear, Quantity::Deflection}) {
                for (const Side side : {Side::Left, Side::Right}) {
                    const std::vector<Extremes> e = env.Along(k, qy, xs, side);
                    std::vector<double> effects, at(groups.size());
                    env.Effects(k, qy, xs, side, effects);
                    for (std::size_t i = 0; i < xs.size(); ++i) {
                        double hi = -1e300, lo = 1e300, arranged = 0;
                        for (std::size_t g = 0; g < groups.size(); ++g)
                            at[g] = effects[g * xs.size() + i];
                        unsigned worst = 0;  // the arrangement said to give the largest
                        const std::vector<std::size_t> said = env.Arrangement(at, true);
                        for (const std::size_t g : said) worst |= 1u << g;
                        const auto text = env.LoadedAt(k, qy, xs[i], side, true);
                        for (std::size_t c = 0; c < b.cases.size(); ++c)
                            EXPECT_EQ(text[c], SpanRanges(LoadedSpans(groups, said, c))) << k;
                        for (unsigned mask = 0; mask < each.size(); ++mask) {
                            SpanCurve c;
                            engine.Curve(k, each[mask], Arranged(b.N(), groups, mask), c);
                            const double v = qy == Quantity::Moment  ? c.Moment(xs[i], side)
                                             : qy == Quantity::Shear ? c.Shear(xs[i], side)
                                                                     : c.Deflection(xs[i]);
                            hi = std::max(hi, v), lo = std::min(lo, v);
                            if (mask == worst) arranged = v;
                        }
                        const auto q = static_cast<std::size_t>(qy);
                        size[q] = std::max({size[q], std::fabs(hi), std::fabs(lo)});
                        seen[q].push_back({k, xs[i], e[i].max, e[i].min, hi, lo});
                        seen[q].push_back({k, xs[i], arranged, lo, hi, lo});
                    }
                }
            }
        }
        for (int j = 1; j <= b.N() + 1; ++j) {
            double hi = -1e300, lo = 1e300;
            for (const CaseResult& r : each) {
                hi = std::max(hi, r.R[static_cast<std::size_t>(j - 1)]);
                lo = std::min(lo, r.R[static_cast<std::size_t>(j - 1)]);
            }
            size[1] = std::max({size[1], std::fabs(hi), std::fabs(lo)});
            seen[1].push_back({-j, 0, env.Reaction(j).max, env.Reaction(j).min, hi, lo});
            const std::vector<std::size_t> said = env.ReactionArrangement(j, false);
            unsigned mask = 0;
            for (const std::size_t g : said) mask |= 1u << g;
            seen[1].push_back({-j, 1, each[mask].R[static_cast<std::size_t>(j - 1)], lo, lo, lo});
            for (std::size_t c = 0; c < b.cases.size(); ++c)
                EXPECT_EQ(env.LoadedForReaction(j, false)[c],
                          SpanRanges(LoadedSpans(groups, said, c)));
        }
        for (std::size_t q = 0; q < 3; ++q) {
            for (const Seen& s : seen[q]) {  // span -j: the reaction at node j
                EXPECT_NEAR(s.max, s.hi, 1e-12 * size[q]) << q << " span " << s.k << " x " << s.x;
                EXPECT_NEAR(s.min, s.lo, 1e-12 * size[q]) << q << " span " << s.k << " x " << s.x;
            }
        }
    }
}

// Thirteen spans: the dead load and the live load on each span, fourteen
// groups and every one of their arrangements, swept on rigid supports and
// solved group by group on springs.
TEST(Envelope, FourteenGroupsEveryArrangement) {
    for (const bool springs : {false, true}) {
        std::mt19937 rng(springs ? 5 : 6);
        Beam b = testing::RandomBeam(rng, 13, {springs, true, false});
        LoadCase q{"Q", CaseKind::Variable, {}, {}, b.cases[0].loads};
        for (int k = 1; k <= b.N(); ++k) q.loads.push_back(Load::Uniform(k, 5, 0, b.SpanAt(k).L));
        b.cases.push_back(q);
        Engine engine;
        ASSERT_TRUE(engine.Build(b));
        Envelope env;
        env.Build(engine, b, {"C", {{"G", 1.3, 1}, {"Q", 1.5, 0}}});
        ASSERT_EQ(env.Swept(), !springs);
        const auto groups = env.Groups();
        ASSERT_EQ(groups.size(), 14u);
        std::vector<double> hog(14, -1e300), sag(14, 1e300), hi(15, -1e300), lo(15, 1e300);
        double size = 1e-9;
        for (unsigned mask = 0; mask < (1u << groups.size()); ++mask) {
            const CaseLoads loads = Arranged(b.N(), groups, mask);
            const CaseResult r = engine.Analyse(loads);
            for (int k = 1; k <= b.N(); ++k) {
                SpanCurve c;
                engine.Curve(k, r, loads, c);
                const SpanDesign d = DesignOf(c);
                hog[k] = std::max(hog[k], d.Mhog), sag[k] = std::min(sag[k], d.Msag);
                size = std::max({size, std::fabs(d.Mhog), std::fabs(d.Msag)});
            }
            for (int j = 1; j <= b.N() + 1; ++j)
                hi[j] = std::max(hi[j], r.R[j - 1]), lo[j] = std::min(lo[j], r.R[j - 1]);
        }
        for (int k = 1; k <= b.N(); ++k) {
            EXPECT_NEAR(env.Design(k).Mmax.value, hog[k], 1e-12 * size) << springs << " span " << k;
            EXPECT_NEAR(env.Design(k).Mmin.value, sag[k], 1e-12 * size) << springs << " span " << k;
        }
        for (int j = 1; j <= b.N() + 1; ++j) {
            EXPECT_NEAR(env.Reaction(j).max, hi[j], 1e-12 * size) << springs << " node " << j;
            EXPECT_NEAR(env.Reaction(j).min, lo[j], 1e-12 * size) << springs << " node " << j;
        }
    }
}

// Equal spans of L under a patterned w = 1 alone: the largest hogging moment
// (positive, in wL²) or the largest sagging one (negative; the textbooks'
// sign is the other way round) at x (in L) of a span.
struct Coefficient {
    const char* name;
    int spans, span;
    double x, expected;
    const char* loaded;
};
const double kRoot3 = std::sqrt(3.0);  // deep inside a long beam: (1 ± √3)/24
const Coefficient kCoefficients[] = {
    {"TwoSpansSpan", 2, 1, 7.0 / 16, -49.0 / 512, "1"},
    {"ThreeSpansEndSpan", 3, 1, 0.45, -81.0 / 800, "1,3"},
    {"ThreeSpansMiddleSpan", 3, 2, 0.5, -3.0 / 40, "2"},
    {"ThreeSpansSupport", 3, 2, 0, 7.0 / 60, "1-2"},
    {"FourSpansSupportB", 4, 2, 0, 27.0 / 224, "1-2,4"},
    {"DeepHogging", 61, 31, 0, (1 + kRoot3) / 24, "2-30/2,31-61/2"},
    {"DeepSagging", 61, 31, 0, (1 - kRoot3) / 24, "1-29/2,32-60/2"},
    // Far beyond where the effects of the end spans vanish below the
    // smallest number, their arrangement still alternates.
    {"FarHogging", 1001, 501, 0, (1 + kRoot3) / 24, "2-500/2,501-1001/2"},
};
class Coefficients : public ::testing::TestWithParam<Coefficient> {};
TEST_P(Coefficients, Hold) {
    const Coefficient& c = GetParam();
    Beam b;
    b.spans.assign(static_cast<std::size_t>(c.spans), Span{6, 1});
    b.supports.assign(static_cast<std::size_t>(c.spans) + 1, Support{});
    LoadCase q{"Q", CaseKind::Variable, {}, {}, {}};
    for (int k = 1; k <= c.spans; ++k) q.loads.push_back(Load::Uniform(k, 1, 0, 6));
    b.cases.push_back(q);
    Engine engine;
    ASSERT_TRUE(engine.Build(b));
    Envelope env;
    env.Build(engine, b, {"Q", {{"Q", 1, 0}}});
    const Extremes e = env.Along(c.span, Quantity::Moment, std::vector<double>{6 * c.x})[0];
    EXPECT_NEAR(c.expected > 0 ? e.max : e.min, c.expected * 36, 1e-12 * 36);
    EXPECT_EQ(env.LoadedAt(c.span, Quantity::Moment, 6 * c.x, Side::Right, c.expected > 0)[0],
              c.loaded);
    if ((c.expected > 0) != (c.x == 0)) return;  // not the span's own extreme
    const SpanEnvelope d = env.Design(c.span);
    const EnvelopeAt& at = c.expected > 0 ? d.Mmax : d.Mmin;
    EXPECT_NEAR(at.value, c.expected * 36, 1e-12 * 36);
    EXPECT_NEAR(at.x, 6 * c.x, 1e-9);
}
INSTANTIATE_TEST_SUITE_P(EqualSpans, Coefficients, ::testing::ValuesIn(kCoefficients),
                         [](const auto& info) { return std::string(info.param.name); });

// Another combination on the groups already solved gives what a whole Build
// gives, to the bit: values, positions and the spans each extreme loads.
TEST(Envelope, RebuiltForAnotherCombinationAsBuilt) {
    const struct {
        const char* name;
        bool springs;
    } rows[] = {{"rigid supports, swept", false}, {"springs, group by group", true}};
    const std::vector<Combination> combinations = {{"基本", {{"G", 1.3, 1}, {"Q", 1.5, 0}}},
                                                   {"标准", {{"G", 1, 1}, {"Q", 1, 0}}},
                                                   {"准永久", {{"G", 1, 1}, {"Q", 0.4, 0}}},
                                                   {"G alone", {{"G", 1, 1}}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::mt19937 rng(row.springs ? 11 : 12);
        Beam b = testing::RandomBeam(rng, 9, {row.springs, true, true});
        LoadCase q{"Q", CaseKind::Variable, {}, {}, {}};
        for (int k = 1; k <= b.N(); k += 2)
            q.loads.push_back(Load::Uniform(k, 7, 0, b.SpanAt(k).L));
        b.cases.push_back(q);
        Engine engine;
        ASSERT_TRUE(engine.Build(b));
        Envelope first;
        first.Build(engine, b, combinations[0]);
        for (const Combination& co : combinations) {
            SCOPED_TRACE(co.name);
            Envelope built, rebuilt;
            built.Build(engine, b, co);
            rebuilt.Rebuild(first, b, co);
            for (int k = 1; k <= b.N(); ++k) {
                const SpanEnvelope d = built.Design(k), e = rebuilt.Design(k);
                EXPECT_EQ(std::tuple(d.Mmax.value, d.Mmax.x, d.Mmin.value, d.Vl.max, d.Vr.min,
                                     d.wmax.value, d.wmax.x),
                          std::tuple(e.Mmax.value, e.Mmax.x, e.Mmin.value, e.Vl.max, e.Vr.min,
                                     e.wmax.value, e.wmax.x))
                    << "span " << k;
                EXPECT_EQ(built.LoadedAt(k, Quantity::Moment, d.Mmax.x, d.Mmax.side, true),
                          rebuilt.LoadedAt(k, Quantity::Moment, e.Mmax.x, e.Mmax.side, true));
            }
            for (int j = 1; j <= b.N() + 1; ++j) {
                EXPECT_EQ(built.Reaction(j).max, rebuilt.Reaction(j).max) << "node " << j;
                EXPECT_EQ(built.LoadedForReaction(j, false), rebuilt.LoadedForReaction(j, false));
            }
        }
    }
}

// A spring makes every patterned group a solve of its own, as long as the
// beam: a long beam is refused before its memory is asked for, a short one
// or one on rigid supports never.
TEST(Envelope, SizeRefusedOnlyWhereGroupsByNodesOutgrowMemory) {
    const struct {
        const char* name;
        int spans;
        bool spring, patterned;
        bool refused;
    } rows[] = {
        {"rigid, 32,766 spans", 32766, false, true, false},
        {"spring, 100 spans", 100, true, true, false},
        {"spring, 2,000 spans", 2000, true, true, false},
        {"spring, 3,000 spans", 3000, true, true, true},
        {"spring, 32,766 spans, one group", 32766, true, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Beam beam;
        beam.spans.assign(static_cast<std::size_t>(row.spans), {6, 1});
        beam.supports.resize(beam.spans.size() + 1);
        if (row.spring) beam.supports[1] = Support::Spring(5e4);
        LoadCase live{"Q", CaseKind::Variable, row.patterned, {}, {}};
        for (int k = 1; k <= row.spans; ++k) live.loads.push_back(Load::Uniform(k, 10, 0, 6));
        beam.cases.push_back(live);
        EXPECT_EQ(CheckEnvelopeSize(beam).code, row.refused ? Code::EnvelopeTooLarge : Code::Ok);
    }
}

}  // namespace
}  // namespace cbeam::analysis
