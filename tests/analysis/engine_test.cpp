#include "analysis/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

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

// The beam seen from its other end: every span, support and load reversed,
// concentrated moments turning the other way.
Beam Mirrored(Beam b) {
    const int n = b.N();
    std::reverse(b.spans.begin(), b.spans.end());
    std::reverse(b.supports.begin(), b.supports.end());
    for (Load& load : b.cases[0].loads) {
        if (load.kind == Load::Kind::Settlement) {
            load.node = n + 2 - load.node;
            continue;
        }
        const double l = b.SpanAt(n + 1 - load.span).L;
        load.span = n + 1 - load.span;
        std::tie(load.x1, load.x2) = std::pair(l - load.x2, l - load.x1);
        if (load.kind == Load::Kind::Linear) std::swap(load.q1, load.q2);
        if (load.kind == Load::Kind::Moment) load.q1 = -load.q1;
    }
    return b;
}

// Properties of any beam at 1e-12, apart from the oracle: the reactions hold
// the loads, the mirrored beam gives the mirrored answer, twice the loads
// give twice the answer and two halves of a case add up to the case.
TEST_P(RandomBeams, HoldTheirLoadsMirrorScaleAndAddUp) {
    Each(15, [](Beam b) {
        const Solved s = Solve(b);
        double load = 0, size = 1, sum = 0;
        for (const Load& l : b.cases[0].loads)
            load += l.kind == Load::Kind::Point ? l.q1
                    : l.Distributed()           ? (l.q1 + l.q2) / 2 * (l.x2 - l.x1)
                                                : 0;
        for (const double r : s.r.R) size = std::max(size, std::fabs(r)), sum += r;
        EXPECT_NEAR(sum, load, 1e-12 * size) << "equilibrium";
        Beam twice = b, first = b, second = b;
        for (Load& l : twice.cases[0].loads) l.q1 *= 2, l.q2 *= 2;
        first.cases[0].loads.resize(b.cases[0].loads.size() / 2);
        second.cases[0].loads.erase(second.cases[0].loads.begin(),
                                    second.cases[0].loads.begin() + first.cases[0].loads.size());
        const Solved m = Solve(Mirrored(b)), t = Solve(twice), a = Solve(first), c = Solve(second);
        for (std::size_t j = 0; j < s.r.R.size(); ++j) {
            const std::size_t o = s.r.R.size() - 1 - j;
            SCOPED_TRACE("node " + std::to_string(j + 1));
            EXPECT_NEAR(m.r.R[o], s.r.R[j], 1e-12 * size) << "mirror";
            EXPECT_NEAR(t.r.R[j], 2 * s.r.R[j], 2e-12 * size) << "scaling";
            EXPECT_NEAR(a.r.R[j] + c.r.R[j], s.r.R[j], 1e-12 * size) << "superposition";
            const double w = std::max({1e-9, std::fabs(s.r.w[j]), std::fabs(m.r.w[o])});
            EXPECT_NEAR(m.r.w[o], s.r.w[j], 1e-10 * w) << "mirror w";
        }
    });
}

}  // namespace
}  // namespace cbeam::analysis
