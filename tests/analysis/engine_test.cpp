#include "analysis/engine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/design.h"
#include "model/driver.h"
#include "oracle.h"
#include "random_beams.h"

namespace cbeam::analysis {
namespace {

using testing::LD;
using testing::Mix;

struct Solved {
    Beam beam;
    Engine engine;
    CaseLoads loads;
    CaseResult r;
    std::vector<SpanDesign> d;
    SpanCurve Curve(int k) const {
        SpanCurve c;
        engine.Curve(k, r, loads, c);
        return c;
    }
};

Solved Solve(Beam beam) {
    Solved s;
    s.beam = std::move(beam);
    EXPECT_EQ(MessageText(s.engine.Build(s.beam)), "");
    s.loads = GroupLoads(s.beam.N(), s.beam.cases.at(0));
    s.r = s.engine.Analyse(s.loads);
    s.d = s.engine.Design(s.r, s.loads);
    return s;
}

LD MaxAbs(const std::vector<LD>& v) {
    LD m = 1;  // a floor for beams whose answer is zero: rounding of stiffness terms
    for (LD x : v) m = std::max(m, std::fabs(x));
    return m;
}

// Every node value and, along each span, M, V (both sides of each load point)
// and w against the oracle; the design values as extremes of the oracle's curve.
void ExpectOracle(const Solved& s) {
    const testing::Oracle o(s.beam, s.beam.cases[0]);
    std::vector<LD> ms, ws;
    for (int k = 1; k <= s.beam.N(); ++k) {
        for (int i = 0; i <= 100; ++i) {
            ms.push_back(o.Moment(k, s.beam.SpanAt(k).L * i / 100, true));
            ws.push_back(o.Deflection(k, s.beam.SpanAt(k).L * i / 100));
        }
    }
    const LD mTol = 1e-11L * MaxAbs(ms), wTol = 1e-11L * MaxAbs(ws);
    const LD rTol = 1e-11L * MaxAbs(o.R), tTol = 1e-11L * MaxAbs(o.theta);
    for (std::size_t j = 0; j < o.w.size(); ++j) {
        SCOPED_TRACE("node " + std::to_string(j + 1));
        EXPECT_NEAR(s.r.w[j], o.w[j], wTol);
        EXPECT_NEAR(s.r.theta[j], o.theta[j], tTol);
        EXPECT_NEAR(s.r.R[j], o.R[j], rTol);
        EXPECT_NEAR(s.r.M[j], o.M[j], mTol);
    }
    for (int k = 1; k <= s.beam.N(); ++k) {
        SCOPED_TRACE("span " + std::to_string(k));
        const SpanCurve c = s.Curve(k);
        const double l = c.Length();
        std::vector<double> xs{0, l / 3, l};
        for (const Load& load : s.loads.OnSpan(k)) xs.insert(xs.end(), {load.x1, load.x2});
        for (const double x : xs) {
            for (const Side side : {Side::Left, Side::Right}) {
                const bool right = side == Side::Right;
                EXPECT_NEAR(c.Moment(x, side), o.Moment(k, x, right), mTol)
                    << "x " << x << " " << right;
                EXPECT_NEAR(c.Shear(x, side), o.Shear(k, x, right), rTol)
                    << "x " << x << " " << right;
            }
            EXPECT_NEAR(c.Deflection(x), o.Deflection(k, x), wTol) << "x " << x;
        }
        const SpanDesign& d = s.d[static_cast<std::size_t>(k - 1)];
        const auto mAt = [&](double x, bool hi) {
            const LD a = o.Moment(k, x, false), b = o.Moment(k, x, true);
            return hi ? std::max(a, b) : std::min(a, b);
        };
        EXPECT_NEAR(mAt(d.xMsag, false), d.Msag, 10 * mTol);
        EXPECT_NEAR(mAt(d.xMhog, true), d.Mhog, 10 * mTol);
        EXPECT_NEAR(o.Deflection(k, d.xw), d.w, 10 * wTol);
        for (int i = 0; i <= 400; ++i) xs.push_back(l * i / 400);
        for (const double x : xs) {
            EXPECT_GE(mAt(x, false), d.Msag - mTol) << "x " << x;
            EXPECT_LE(mAt(x, true), d.Mhog + mTol) << "x " << x;
            EXPECT_LE(std::fabs(o.Deflection(k, x)), std::fabs(d.w) + wTol) << "x " << x;
        }
    }
}

struct RandomRow {
    const char* name;
    int minSpans, maxSpans;
    Mix mix;
};
const RandomRow kRandomRows[] = {
    {"OneSpan", 1, 1, {true, true, true}},       {"PinnedAndFixed", 2, 6, {}},
    {"Springs", 2, 6, {true, false, false}},     {"Cantilevers", 1, 5, {false, true, false}},
    {"Settlements", 2, 6, {false, false, true}}, {"Everything", 2, 7, {true, true, true}},
};
class RandomBeams : public ::testing::TestWithParam<RandomRow> {
  protected:
    template <class F>
    void Each(int count, F f) {
        const std::string name = GetParam().name;
        std::mt19937 g(static_cast<unsigned>(name.size() * 131 + name[0] + GetParam().maxSpans));
        for (int i = 0; i < count; ++i) {
            const int n =
                std::uniform_int_distribution(GetParam().minSpans, GetParam().maxSpans)(g);
            SCOPED_TRACE("beam " + std::to_string(i));
            f(testing::RandomBeam(g, n, GetParam().mix));
        }
    }
};
INSTANTIATE_TEST_SUITE_P(Engine, RandomBeams, ::testing::ValuesIn(kRandomRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(RandomBeams, AgreeWithDirectIntegration) {
    Each(25, [](Beam b) { ExpectOracle(Solve(std::move(b))); });
}

}  // namespace
}  // namespace cbeam::analysis
