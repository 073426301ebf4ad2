// The engine against the design's analysis, handbook values, a stiff spring.
#include <gtest/gtest.h>

#include <random>

#include "analysis/engine.h"
#include "model/design.h"
#include "model/driver.h"

namespace cbeam::analysis {
namespace {

struct Answer {
    CaseResult r;
    std::vector<SpanDesign> d;
};

Answer Analysed(const Beam& b) {
    Engine e;
    EXPECT_EQ(MessageText(e.Build(b)), "");
    const CaseLoads loads = GroupLoads(b.N(), b.cases.at(0));
    Answer a{e.Analyse(loads), {}};
    a.d = e.Design(a.r, loads);
    return a;
}

Beam Simple(std::vector<double> lengths, std::vector<Support> supports, std::vector<Load> loads,
            double ei = 1) {
    Beam b;
    for (const double l : lengths) b.spans.push_back({l, ei});
    b.supports = std::move(supports);
    b.cases.push_back({"G", CaseKind::Permanent, {}, 0.4, std::move(loads)});
    return b;
}

// Random design beams, each solved by the design's procedures and by the
// engine: node moments, rotations, reactions and the design values agree.
TEST(DesignBeams, EngineAgreesWithTheDesignsAnalysis) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 g(seed);
        std::uniform_real_distribution<double> u(0, 1);
        const int n = 1 + static_cast<int>(u(g) * 8);
        BeamState s;
        s.SizeAll(n);
        s.EIo = 0.5 + 3 * u(g);
        s.Flag0 = u(g) < 0.5 ? kTrue : kFalse;
        s.FlagN = u(g) < 0.5 ? kTrue : kFalse;
        for (int k = 1; k <= n; ++k) {
            s.L(k) = 1 + 9 * u(g);
            s.EI(k) = 0.3 + 3 * u(g);
            const double r = u(g);
            s.SetKind(k, r < 0.2 ? LoadKind::None : r < 0.6 ? LoadKind::Uniform : LoadKind::Point);
            s.Q(k) = 50 * u(g);
            s.A(k) = u(g) < 0.15 ? std::round(u(g)) : u(g);
        }
        ASSERT_TRUE(RunAnalysis(s).status);
        const DesignValues dv = ComputeDesignValues(s);
        Beam b;
        ASSERT_TRUE(FromDesignBeam(s, b));
        const Answer a = Analysed(b);
        // Scales of each quantity: the largest moment, and what it turns and
        // bends the longest, softest span by.
        double m = 1, v = 1, reach = 0;
        for (int j = 1; j <= n + 1; ++j) m = std::max(m, std::fabs(s.M(j)));
        for (const double r : dv.R) v = std::max(v, std::fabs(r));
        for (int k = 1; k <= n; ++k)
            reach = std::max(reach, s.L(k) / (s.EI(k) * s.EIo * kRigidityUnit));
        const double t = m * reach, w = 1000 * t * 10;
        const auto near = [&](const char* what, int at, double engine, double design,
                              double scale) {
            EXPECT_NEAR(engine, design, 1e-12 * scale)
                << "seed " << seed << " " << what << " " << at;
        };
        for (int j = 1; j <= n + 1; ++j) {
            const auto i = static_cast<std::size_t>(j - 1);
            near("M", j, a.r.M[i], s.M(j), m);
            near("theta", j, a.r.theta[i], dv.theta[i], t);
            near("R", j, a.r.R[i], dv.R[i], v);
        }
        for (int k = 1; k <= n; ++k) {
            const SpanDesign& e = a.d[static_cast<std::size_t>(k - 1)];
            const SpanValues& d = dv.spans[static_cast<std::size_t>(k - 1)];
            near("Vl", k, e.Vl, d.Vl, v);
            near("Vr", k, e.Vr, d.Vr, v);
            near("Msag", k, e.Msag, d.Msag, m);
            near("w", k, e.w, d.w, w);
        }
    }
}

// Handbook values, each worked by hand: q = 10 kN/m, L = 6 m, EI = 10^6 kN·m².
struct Published {
    const char* name;
    Beam beam;
    const char* what;
    std::function<double(const Answer&)> got;
    double expected;
};

const double q = 10, L = 6, EI = 1e6;
const Support P{SupportKind::Pinned}, F{SupportKind::Fixed}, Free{SupportKind::Free};
const Load Whole = Load::Uniform(1, q, 0, L);

const Published kPublished[] = {
    // Two equal spans under a uniform load: the middle support's moment qL²/8.
    {"TwoSpanUniform", Simple({L, L}, {P, P, P}, {Whole, Load::Uniform(2, q, 0, L)}), "M_B",
     [](const Answer& a) { return a.r.M[1]; }, q* L* L / 8},
    // Propped cantilever (fixed–pinned): M_A = qL²/8.
    {"ProppedCantileverMoment", Simple({L}, {F, P}, {Whole}), "M_A",
     [](const Answer& a) { return a.r.M[0]; }, q* L* L / 8},
    // A pinned span on a spring of k under a point load P at the middle:
    // the spring takes P/2 and sinks P/(2k).
    {"SpringSupport", Simple({L}, {P, Support::Spring(2000)}, {Load::Point(1, 40, L / 2)}),
     "w_B mm", [](const Answer& a) { return a.r.w[1]; }, 1000 * 20.0 / 2000},
    // Two equal spans, the middle support settles Δ: the released beam of 2L
    // needs R = 6EIΔ/L³ down at the middle, so M_B = RL/2 = 3EIΔ/L², sagging.
    {"SettlementMiddle", Simple({L, L}, {P, P, P}, {Load::Settlement(2, 10)}), "M_B",
     [](const Answer& a) { return a.r.M[1]; }, -3 * EI * 0.01 / (L * L)},
    // Cantilever (fixed–free) under a uniform load: tip deflection qL⁴/(8EI).
    {"CantileverTip", Simple({L}, {F, Free}, {Whole}), "w tip mm",
     [](const Answer& a) { return a.r.w[1]; }, 1000 * q* L* L* L* L / (8 * EI)},
    // Fixed–fixed under a triangle rising from 0 at A to q at B:
    // M_A = qL²/30, M_B = qL²/20.
    {"TriangleFixedEndA", Simple({L}, {F, F}, {Load::Linear(1, 0, q, 0, L)}), "M_A",
     [](const Answer& a) { return a.r.M[0]; }, q* L* L / 30},
    {"TriangleFixedEndB", Simple({L}, {F, F}, {Load::Linear(1, 0, q, 0, L)}), "M_B",
     [](const Answer& a) { return a.r.M[1]; }, q* L* L / 20},
    // A patch of q over [2, 5] m on a simple span: R_A = q·3·(L − 3.5)/L.
    {"PatchLoadReaction", Simple({L}, {P, P}, {Load::Uniform(1, q, 2, 5)}), "R_A",
     [](const Answer& a) { return a.r.R[0]; }, q * 3 * (L - 3.5) / L},
    // A cantilever's statics: 40 kN at the tip hangs P·L on the fixed end.
    {"CantileverPointStatics", Simple({L}, {F, Free}, {Load::Point(1, 40, L)}), "M_A",
     [](const Answer& a) { return a.r.M[0]; }, 40 * L},
};

class PublishedValues : public ::testing::TestWithParam<Published> {};
TEST_P(PublishedValues, Hold) {
    const Published& p = GetParam();
    EXPECT_NEAR(p.got(Analysed(p.beam)), p.expected, 1e-12 * std::max(1.0, std::fabs(p.expected)))
        << p.what;
}
INSTANTIATE_TEST_SUITE_P(Handbook, PublishedValues, ::testing::ValuesIn(kPublished),
                         [](const auto& info) { return std::string(info.param.name); });

// A spring ever stiffer tends to the pin: the gap shrinks like 1/k.
TEST(StiffSpring, TendsToAPin) {
    const std::vector<Load> loads{Whole, Load::Point(2, 30, 1.5), Load::Linear(3, 5, 0, 0, 4)};
    const Answer pin = Analysed(Simple({L, 3, 4}, {F, P, P, P}, loads));
    double last = 1e300;
    for (const double k : {1e6, 1e8, 1e10, 1e12}) {
        const Answer s = Analysed(Simple({L, 3, 4}, {F, Support::Spring(k), P, P}, loads));
        const double gap = std::fabs(s.r.M[1] - pin.r.M[1]);
        EXPECT_LT(gap, last / 50) << "k " << k;
        last = gap;
    }
    EXPECT_LT(last, 1e-5 * std::fabs(pin.r.M[1]));
}

}  // namespace
}  // namespace cbeam::analysis
