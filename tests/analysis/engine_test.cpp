#include "analysis/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

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
                EXPECT_NEAR(c.Moment(x, side), o.Moment(k, x, right), mTol) << "x " << x << " " << right;
                EXPECT_NEAR(c.Shear(x, side), o.Shear(k, x, right), rTol) << "x " << x << " " << right;
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
    {"OneSpan", 1, 1, {true, true, true}},     {"PinnedAndFixed", 2, 6, {}},
    {"Springs", 2, 6, {true, false, false}},   {"Cantilevers", 1, 5, {false, true, false}},
    {"Settlements", 2, 6, {false, false, true}}, {"Everything", 2, 7, {true, true, true}},
};
class RandomBeams : public ::testing::TestWithParam<RandomRow> {
  protected:
    template <class F>
    void Each(int count, F f) {
        const std::string name = GetParam().name;
        std::mt19937 g(static_cast<unsigned>(name.size() * 131 + name[0] + GetParam().maxSpans));
        for (int i = 0; i < count; ++i) {
            const int n = std::uniform_int_distribution(GetParam().minSpans, GetParam().maxSpans)(g);
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

// Forces: the reactions carry every load.
TEST_P(RandomBeams, Equilibrium) {
    Each(25, [](Beam b) {
        const Solved s = Solve(std::move(b));
        LD force = 0, moment = 0, x0 = 0, size = 0;
        for (int k = 1; k <= s.beam.N(); ++k) {
            for (const Load& l : s.loads.OnSpan(k)) {
                const LD len = l.x2 - l.x1, q2 = l.kind == Load::Kind::Linear ? l.q2 : l.q1;
                const LD p = l.kind == Load::Kind::Moment ? 0 : l.Distributed() ? (l.q1 + q2) / 2 * len : l.q1;
                const LD xc = l.Distributed() && len > 0 ? l.x1 + len * (l.q1 + 2 * q2) / (3 * (l.q1 + q2)) : l.x1;
                force += p;
                moment += l.kind == Load::Kind::Moment ? -l.q1 : p * (x0 + xc);
                size += std::fabs(p) * (x0 + s.beam.SpanAt(k).L) + std::fabs(l.kind == Load::Kind::Moment ? l.q1 : 0);
            }
            x0 += s.beam.SpanAt(k).L;
        }
        x0 = 0;
        for (std::size_t j = 0; j < s.r.R.size(); ++j) {
            force -= s.r.R[j];
            size += std::fabs(s.r.R[j]);
            moment -= s.r.R[j] * x0;
            // A held rotation takes a couple: the moment jump at the node.
            const double left = j > 0 ? s.r.ends[j - 1].Mr : 0, right = j < s.r.ends.size() ? s.r.ends[j].Ml : 0;
            moment += right - left;
            x0 += j < s.r.ends.size() ? s.beam.spans[j].L : 0;
        }
        EXPECT_NEAR(static_cast<double>(force), 0, 1e-11 * static_cast<double>(size));
    });
}

// Two cases solved apart add up to the case holding both; loads scale the answer.
TEST_P(RandomBeams, SuperpositionAndScaling) {
    Each(15, [](Beam b) {
        std::mt19937 g(static_cast<unsigned>(b.N()));
        Beam other = testing::RandomBeam(g, b.N(), {});
        Beam both = b, twice = b;
        for (Load& l : other.cases[0].loads) {
            const double len = b.spans[static_cast<std::size_t>(std::max(l.span, 1) - 1)].L;
            l.x1 = std::min(l.x1, len), l.x2 = std::min(l.x2, len);
            both.cases[0].loads.push_back(l);
        }
        for (Load& l : twice.cases[0].loads) l.q1 *= 2.5, l.q2 *= 2.5;
        other.supports = b.supports;
        other.spans = b.spans;
        other.EIo = b.EIo;
        const Solved s1 = Solve(b), s2 = Solve(other), s12 = Solve(both), sx = Solve(twice);
        for (std::size_t j = 0; j < s1.r.M.size(); ++j) {
            const double tol = 1e-11 * (1 + std::fabs(s1.r.M[j]) + std::fabs(s2.r.M[j]));
            EXPECT_NEAR(s12.r.M[j], s1.r.M[j] + s2.r.M[j], tol);
            EXPECT_NEAR(sx.r.M[j], 2.5 * s1.r.M[j], 3 * tol);
            EXPECT_NEAR(s12.r.w[j], s1.r.w[j] + s2.r.w[j], 1e-11 * (1 + std::fabs(s1.r.w[j])));
        }
    });
}

// The beam seen from the other side: moments and deflections mirrored, rotations and couples turned.
TEST_P(RandomBeams, MirrorSymmetry) {
    Each(15, [](Beam b) {
        Beam m = b;
        std::reverse(m.spans.begin(), m.spans.end());
        std::reverse(m.supports.begin(), m.supports.end());
        const int n = b.N();
        for (Load& l : m.cases[0].loads) {
            if (l.kind == Load::Kind::Settlement) {
                l.node = n + 2 - l.node;
                continue;
            }
            const double len = b.SpanAt(l.span).L, x1 = l.x1;
            l.span = n + 1 - l.span;
            l.x1 = std::max(0.0, l.Distributed() ? len - l.x2 : len - x1);
            l.x2 = std::min(len, l.Distributed() ? len - x1 : l.x1);
            if (l.kind == Load::Kind::Linear) std::swap(l.q1, l.q2);
            if (l.kind == Load::Kind::Moment) l.q1 = -l.q1;
        }
        const Solved s = Solve(b), r = Solve(m);
        for (int j = 0; j <= n; ++j) {
            const auto i = static_cast<std::size_t>(j), k = static_cast<std::size_t>(n - j);
            EXPECT_NEAR(r.r.w[k], s.r.w[i], 1e-11 * (1 + std::fabs(s.r.w[i])));
            EXPECT_NEAR(r.r.theta[k], -s.r.theta[i], 1e-11 * (1e-3 + std::fabs(s.r.theta[i])));
            EXPECT_NEAR(r.r.R[k], s.r.R[i], 1e-11 * (1 + std::fabs(s.r.R[i])));
        }
    });
}

}  // namespace
}  // namespace cbeam::analysis
