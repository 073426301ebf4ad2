// Influence lines against a unit load solved directly where it stands, the
// published ordinates, and trains against a scan of their positions.
#include "analysis/influence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "random_beams.h"

namespace cbeam::analysis {
namespace {

// The quantity solved directly for a unit load at xi of span m.
double Direct(const Engine& engine, const Beam& b, const InfluenceAt& at, int m, double xi) {
    LoadCase c;
    c.loads.push_back(Load::Point(m, 1, xi));
    const CaseLoads loads = GroupLoads(b.N(), c);
    const CaseResult r = engine.Analyse(loads);
    if (at.what == InfluenceOf::Reaction) return r.R[static_cast<std::size_t>(at.node - 1)];
    SpanCurve curve;
    engine.Curve(at.span, r, loads, curve);
    return at.what == InfluenceOf::Moment  ? curve.Moment(at.x, at.side)
           : at.what == InfluenceOf::Shear ? curve.Shear(at.x, at.side)
                                           : curve.Deflection(at.x);
}

TEST(Influence, IsTheUnitLoadSolvedWhereItStands) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    for (int beam = 0; beam < 16; ++beam) {
        const Beam b = testing::RandomBeam(rng, 1 + beam % 6, {beam % 2 == 0, true, false});
        Engine engine;
        ASSERT_TRUE(engine.Build(b));
        const auto what = static_cast<InfluenceOf>(beam % 4);
        InfluenceAt at{what, 1 + static_cast<int>(u(rng) * b.N()), 0,
                       u(rng) < 0.5 ? Side::Left : Side::Right,
                       1 + static_cast<int>(u(rng) * (b.N() + 1))};
        at.x = u(rng) < 0.2 ? 0 : b.SpanAt(at.span).L * u(rng);
        InfluenceLine line;
        ASSERT_TRUE(line.Build(engine, b, at));
        double uniform = 0;  // a load of 1 kN/m over the whole beam: the two areas
        LoadCase all;
        for (int k = 1; k <= b.N(); ++k) all.loads.push_back(Load::Uniform(k, 1, 0, b.SpanAt(k).L));
        const CaseResult r = engine.Analyse(GroupLoads(b.N(), all));
        SpanCurve curve;
        if (what == InfluenceOf::Reaction) {
            uniform = r.R[static_cast<std::size_t>(at.node - 1)];
        } else {
            engine.Curve(at.span, r, GroupLoads(b.N(), all), curve);
            uniform = what == InfluenceOf::Moment  ? curve.Moment(at.x, at.side)
                      : what == InfluenceOf::Shear ? curve.Shear(at.x, at.side)
                                                   : curve.Deflection(at.x);
        }
        double size = 1e-9;
        std::vector<double> direct;
        std::vector<std::pair<int, double>> where;
        for (int i = 0; i < 25; ++i) {
            const int m = 1 + static_cast<int>(u(rng) * b.N());
            where.emplace_back(m, b.SpanAt(m).L * u(rng));
            direct.push_back(Direct(engine, b, at, m, where.back().second));
            size = std::max(size, std::fabs(direct.back()));
        }
        for (std::size_t i = 0; i < where.size(); ++i)
            EXPECT_NEAR(line.At(where[i].first, where[i].second), direct[i], 1e-12 * size)
                << beam << " span " << where[i].first << " x " << where[i].second;
        // The unit load crossing the section: the shear steps by 1.
        if (what == InfluenceOf::Shear && at.x > 0 && at.x < b.SpanAt(at.span).L) {
            EXPECT_NEAR(line.At(at.span, at.x, Side::Right) - line.At(at.span, at.x, Side::Left), 1,
                        1e-12);
        }
        EXPECT_NEAR(line.PositiveArea() + line.NegativeArea(), uniform,
                    1e-11 * size * line.Length());
        EXPECT_GE(line.Max().value, *std::max_element(direct.begin(), direct.end()) - 1e-12 * size);
        EXPECT_LE(line.Min().value, *std::min_element(direct.begin(), direct.end()) + 1e-12 * size);
    }
}

// Published ordinates for a unit load at ξL of span 1 (spans of L = 6 m):
// M_B of two and of three equal spans, and the fixed-end moment of a
// propped beam, all hogging.
struct Ordinate {
    const char* name;
    int spans;
    bool fixedLeft;
    InfluenceAt at;
    double (*exact)(double xi);  // in L
};
const Ordinate kOrdinates[] = {
    {"TwoSpansSupportB",
     2,
     false,
     {InfluenceOf::Moment, 2, 0, Side::Left, 1},
     [](double xi) { return xi * (1 - xi * xi) / 4; }},
    {"ThreeSpansSupportB",
     3,
     false,
     {InfluenceOf::Moment, 2, 0, Side::Left, 1},
     [](double xi) { return 4 * xi * (1 - xi * xi) / 15; }},
    {"ProppedFixedEnd",
     1,
     true,
     {InfluenceOf::Moment, 1, 0, Side::Left, 1},
     [](double xi) { return xi * (1 - xi) * (2 - xi) / 2; }},
};
class Ordinates : public ::testing::TestWithParam<Ordinate> {};
TEST_P(Ordinates, Hold) {
    const Ordinate& o = GetParam();
    Beam b;
    b.spans.assign(static_cast<std::size_t>(o.spans), Span{6, 1});
    b.supports.assign(static_cast<std::size_t>(o.spans) + 1, Support{});
    if (o.fixedLeft) b.supports[0].kind = SupportKind::Fixed;
    Engine engine;
    ASSERT_TRUE(engine.Build(b));
    InfluenceLine line;
    ASSERT_TRUE(line.Build(engine, b, o.at));
    for (const double xi : {0.1, 0.25, 0.5, 1 / std::sqrt(3.0), 0.75, 0.9})
        EXPECT_NEAR(line.At(1, 6 * xi), o.exact(xi) * 6, 1e-14) << xi;
    // The largest where the slope of ξ(1 - ξ²) vanishes, at ξ = 1/√3.
    if (o.spans > 1) {
        EXPECT_NEAR(line.Max().x, 6 / std::sqrt(3.0), 1e-9);
    }
}
INSTANTIATE_TEST_SUITE_P(Published, Ordinates, ::testing::ValuesIn(kOrdinates),
                         [](const auto& info) { return std::string(info.param.name); });

// A pair of crane wheels (100 kN each, 1.5 m apart) over three spans: never
// beaten by a scan of every position at 1 mm, and within what 1 mm can miss.
TEST(Influence, TrainIsWorstAtItsPosition) {
    Beam b;
    b.spans = {Span{6, 1}, Span{7.5, 1.2}, Span{6, 1}};
    b.supports.assign(4, Support{});
    Engine engine;
    ASSERT_TRUE(engine.Build(b));
    const Train train{{100, 100}, {0, 1.5}, 0};
    for (const InfluenceAt& at : {InfluenceAt{InfluenceOf::Moment, 2, 3.1, Side::Right, 1},
                                  InfluenceAt{InfluenceOf::Shear, 2, 0, Side::Right, 1},
                                  InfluenceAt{InfluenceOf::Reaction, 1, 0, Side::Right, 2}}) {
        InfluenceLine line;
        ASSERT_TRUE(line.Build(engine, b, at));
        double hi = -1e300, lo = 1e300;
        const auto on = [&](double p) {
            for (int k = b.N(); k >= 1; --k)
                if (p >= line.Start(k))
                    return p <= line.Length() ? line.At(k, p - line.Start(k)) : 0.0;
            return 0.0;
        };
        for (double x = -2; x <= line.Length() + 2; x += 0.001) {
            for (const double s : {1.0, -1.0}) {
                const double v = 100 * on(x) + 100 * on(x - s * 1.5);
                hi = std::max(hi, v), lo = std::min(lo, v);
            }
        }
        TrainExtremes e = WorstPositions(line, train, true);
        const TrainExtremes back = WorstPositions(line, train, false);
        e.max.value = std::max(e.max.value, back.max.value);
        e.min.value = std::min(e.min.value, back.min.value);
        EXPECT_GE(e.max.value, hi - 1e-9);
        EXPECT_LE(e.min.value, lo + 1e-9);
        EXPECT_LT(e.max.value - hi, 1e-3 * 200);
        EXPECT_GT(e.min.value - lo, -1e-3 * 200);
    }
}

}  // namespace
}  // namespace cbeam::analysis
