#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "common/beam_helpers.h"
#include "model/compute.h"

namespace cbeam {
namespace {

using testing::SpanInput;
using Span = SpanInput;

BeamState MakeBeam(const std::vector<Span>& spans, bool fixedLeft, bool fixedRight,
                   double EIo = 1) {
    return testing::MakeBeam(spans, fixedLeft ? kTrue : kFalse, fixedRight ? kTrue : kFalse, EIo);
}

std::vector<double> Moments(const BeamState& s) {
    std::vector<double> m;
    for (int k = 1; k <= s.N + 1; ++k) m.push_back(s.M(k));
    return m;
}

double MaxAbs(const std::vector<double>& v) {
    double m = 0;
    for (double x : v) m = std::max(m, std::fabs(x));
    return m;
}

TEST(FixedEndMoments, ByLoadKindAndPosition) {
    const double q = 12, l = 6, ql2 = q * l * l;
    struct Case {
        int kind;
        double a, femL, femR;
    } const cases[] = {
        {1, 1.0, -ql2 / 12, ql2 / 12},
        {1, 0.5, -ql2 * 0.6875 / 12, ql2 * 0.3125 / 12},
        {1, 0.0, 0, 0},
        {2, 0.5, -q * l / 8, q * l / 8},
        {2, 0.0, 0, 0},
        {2, 1.0, 0, 0},
        {2, 0.25, -q * l * 0.25 * 0.75 * 0.75, q * l * 0.0625 * 0.75},
        {0, 0.5, 0, 0},
    };
    for (const auto& c : cases) {
        BeamState s = MakeBeam({{l, 1, c.kind, q, c.a}}, false, false);
        CalcStiffness(s, s.K, s.LineStiff, s.EIo, s.EI, s.L);
        CalcLoads(s, s.NodeLoad, s.L, s.LoadType, s.Q, s.A);
        EXPECT_NEAR(s.FemL(1), c.femL, 1e-12 * ql2) << c.kind << " a=" << c.a;
        EXPECT_NEAR(s.FemR(1), c.femR, 1e-12 * ql2) << c.kind << " a=" << c.a;
        EXPECT_EQ(s.NodeLoad(1), -s.FemL(1));
        EXPECT_EQ(s.NodeLoad(2), -s.FemR(1));
    }
}

TEST(Stiffness, OneSpanAndTwoSpanAssembly) {
    BeamState s = MakeBeam({{4, 2, 0, 0, 0}, {5, 3, 0, 0, 0}}, false, false, 10);
    CalcStiffness(s, s.K, s.LineStiff, s.EIo, s.EI, s.L);
    const double i1 = 2 * 10 / 4.0, i2 = 3 * 10 / 5.0;
    EXPECT_EQ(s.LineStiff(1), i1);
    EXPECT_EQ(s.K(1, 1), 4 * i1);
    EXPECT_EQ(s.K(1, 2), 2 * i1);
    EXPECT_EQ(s.K(2, 2), 4 * (i1 + i2));
    EXPECT_EQ(s.K(3, 2), 2 * i2);
    EXPECT_EQ(s.K(3, 3), 4 * i2);
    EXPECT_EQ(s.K(1, 3), 0.0);  // off the band
}

// Single spans in every end condition, and two spans clamped at both ends.
TEST(Analyse, TextbookSingleSpans) {
    const double q = 10, P = 30, l = 6, EIo = 2;
    const double i = EIo / l;
    struct Case {
        const char* name;
        Span span;
        bool left, right;
        double m1, m2, theta1, theta2;
    } const cases[] = {
        {"pinned-pinned uniform",
         {l, 1, 1, q, 1},
         false,
         false,
         0,
         0,
         q * l * l / (24 * i),
         -q * l * l / (24 * i)},
        {"pinned-pinned point", {l, 1, 2, P, 0.3}, false, false, 0, 0, NAN, NAN},
        {"fixed-fixed uniform", {l, 1, 1, q, 1}, true, true, q * l * l / 12, q * l * l / 12, 0, 0},
        {"fixed-fixed point", {l, 1, 2, P, 0.5}, true, true, P * l / 8, P * l / 8, 0, 0},
        {"fixed-pinned uniform",
         {l, 1, 1, q, 1},
         true,
         false,
         q * l * l / 8,
         0,
         0,
         -q * l * l / 12 / (4 * i)},
        {"pinned-fixed uniform",
         {l, 1, 1, q, 1},
         false,
         true,
         0,
         q * l * l / 8,
         q * l * l / 12 / (4 * i),
         0},
        {"fixed-fixed unloaded", {l, 1, 0, 0, 0}, true, true, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        BeamState s = MakeBeam({c.span}, c.left, c.right, EIo);
        ASSERT_EQ(Analyse(s), SolveStatus::Solved) << c.name;
        EXPECT_NEAR(s.M(1), c.m1, 1e-12 * q * l * l) << c.name;
        EXPECT_NEAR(s.M(2), c.m2, 1e-12 * q * l * l) << c.name;
        if (!std::isnan(c.theta1)) {
            EXPECT_NEAR(s.Theta(1), c.theta1, 1e-12 * std::fabs(q * l * l / i)) << c.name;
        }
        if (!std::isnan(c.theta2)) {
            EXPECT_NEAR(s.Theta(2), c.theta2, 1e-12 * std::fabs(q * l * l / i)) << c.name;
        }
        // The clamped ends' rows and columns become those of the identity.
        if (c.left) {
            EXPECT_EQ(s.K(1, 1), 1.0);
            EXPECT_EQ(s.K(1, 2), 0.0);
            EXPECT_EQ(s.K(2, 1), 0.0);
        }
    }
}

TEST(Analyse, TwoSpansClampedAtBothEnds) {
    BeamState s = MakeBeam({{4, 1, 1, 10, 1}, {6, 2, 2, 20, 0.25}}, true, true, 3);
    ASSERT_EQ(Analyse(s), SolveStatus::Solved);
    const double i1 = 3 / 4.0, i2 = 6 / 6.0;
    EXPECT_EQ(s.Theta(1), 0.0);
    EXPECT_EQ(s.Theta(3), 0.0);
    EXPECT_NEAR(s.Theta(2), s.NodeLoad(2) / (4 * (i1 + i2)), 1e-15);
}

TEST(Analyse, TwoEqualPinnedSpansAreSymmetric) {
    BeamState s = MakeBeam({{5, 1, 1, 8, 1}, {5, 1, 1, 8, 1}}, false, false);
    ASSERT_EQ(Analyse(s), SolveStatus::Solved);
    EXPECT_NEAR(s.Theta(2), 0.0, 1e-14);
    EXPECT_NEAR(s.Theta(1), -s.Theta(3), 1e-14);
    EXPECT_NEAR(s.M(2), 8 * 25 / 8.0, 1e-12);
}

// Equal spans, equal full uniform loads, pinned outer ends.
TEST(Analyse, EqualSpanContinuousBeams) {
    const double w = 7, l = 3, wl2 = w * l * l;
    struct Case {
        int spans;
        std::vector<double> interior;
    } const cases[] = {
        {2, {wl2 / 8}},
        {3, {wl2 / 10, wl2 / 10}},
        {4, {3 * wl2 / 28, wl2 / 14, 3 * wl2 / 28}},
    };
    for (const auto& c : cases) {
        BeamState s = MakeBeam(
            std::vector<Span>(static_cast<std::size_t>(c.spans), {l, 1, 1, w, 1}), false, false);
        ASSERT_EQ(Analyse(s), SolveStatus::Solved);
        EXPECT_EQ(s.M(1), 0.0);
        EXPECT_EQ(s.M(c.spans + 1), 0.0);
        for (int k = 2; k <= c.spans; ++k) {
            EXPECT_NEAR(s.M(k), c.interior[static_cast<std::size_t>(k - 2)], 1e-13 * wl2)
                << c.spans << " node " << k;
        }
    }
}

TEST(Analyse, UnloadedBeamHasNoMoments) {
    BeamState s = MakeBeam({{2, 1, 0, 5, 0.5}, {3, 2, 0, 9, 1}, {1, 1, 0, 0, 0}}, true, false);
    ASSERT_EQ(Analyse(s), SolveStatus::Solved);
    for (double m : Moments(s)) EXPECT_EQ(m, 0.0);
}

std::vector<Span> RandomSpans(std::mt19937& rng, int n, bool mirrorable) {
    std::uniform_real_distribution<double> len(0.5, 12), ei(0.2, 5), mag(0, 50), pos(0, 1);
    std::uniform_int_distribution<int> kind(0, 2);
    std::vector<Span> spans;
    for (int k = 0; k < n; ++k) {
        Span sp{len(rng), ei(rng), kind(rng), mag(rng), pos(rng)};
        if (mirrorable && sp.kind == 1) sp.A = 1;  // a partial uniform load starts at the left end
        spans.push_back(sp);
    }
    return spans;
}

TEST(Analyse, PropertiesOfRandomBeams) {
    std::mt19937 rng(20261206);
    for (int trial = 0; trial < 200; ++trial) {
        const int n = 1 + trial % 12;
        const bool left = trial % 2, right = (trial / 2) % 2;
        const std::vector<Span> spans = RandomSpans(rng, n, true);
        BeamState s = MakeBeam(spans, left, right, 1.7);
        ASSERT_EQ(Analyse(s), SolveStatus::Solved);
        const std::vector<double> m = Moments(s);
        const double scale = std::max(MaxAbs(m), 1.0);

        // Interior nodes: the right-end moment of the span on the left equals
        // the node moment taken from the span on the right.
        for (int k = 2; k <= n; ++k) {
            const double i = s.LineStiff(k - 1);
            const double right_end = 2 * i * s.Theta(k - 1) + 4 * i * s.Theta(k) + s.FemR(k - 1);
            EXPECT_NEAR(right_end, s.M(k), 1e-12 * scale) << "trial " << trial << " node " << k;
        }
        if (!left) {
            EXPECT_EQ(s.M(1), 0.0);
        }
        if (!right) {
            EXPECT_EQ(s.M(n + 1), 0.0);
        }

        // Loads x k scale the moments; rigidities x k leave them unchanged.
        BeamState loads = MakeBeam(spans, left, right, 1.7);
        BeamState rigid = MakeBeam(spans, left, right, 1.7 * 1000);
        for (int k = 1; k <= n; ++k) loads.Q(k) *= -3.5;
        ASSERT_EQ(Analyse(loads), SolveStatus::Solved);
        ASSERT_EQ(Analyse(rigid), SolveStatus::Solved);
        for (int k = 1; k <= n + 1; ++k) {
            EXPECT_NEAR(loads.M(k), -3.5 * m[static_cast<std::size_t>(k - 1)], 1e-12 * 3.5 * scale);
            EXPECT_NEAR(rigid.M(k), m[static_cast<std::size_t>(k - 1)], 1e-12 * scale);
        }

        // The mirrored beam gives the mirrored moments.
        std::vector<Span> mirrored(spans.rbegin(), spans.rend());
        for (Span& sp : mirrored) {
            if (sp.kind == 2) sp.A = 1 - sp.A;
        }
        BeamState mir = MakeBeam(mirrored, right, left, 1.7);
        ASSERT_EQ(Analyse(mir), SolveStatus::Solved);
        for (int k = 1; k <= n + 1; ++k) {
            EXPECT_NEAR(mir.M(n + 2 - k), m[static_cast<std::size_t>(k - 1)], 1e-11 * scale);
        }
    }
}

TEST(Analyse, RefusesWhatCannotBeSolvedAndKeepsTheResults) {
    // Signed rigidities that cancel at the only free node.
    BeamState cancel = MakeBeam({{2, 1, 1, 5, 1}, {2, -1, 1, 5, 1}}, true, true);
    // Loads so large that the moments overflow.
    BeamState huge = MakeBeam({{1e200, 1, 1, 1e200, 1}, {1, 1, 0, 0, 0}}, false, false);
    for (BeamState* s : {&cancel, &huge}) {
        for (int k = 1; k <= s->N + 1; ++k) {
            s->M(k) = 100 + k;
            s->Theta(k) = 200 + k;
        }
        EXPECT_EQ(Analyse(*s), SolveStatus::NotSolvable);
        for (int k = 1; k <= s->N + 1; ++k) {
            EXPECT_EQ(s->M(k), 100 + k);
            EXPECT_EQ(s->Theta(k), 200 + k);
        }
    }
}

TEST(SolveEquations, RefusesAnAsymmetricMatrix) {
    BeamState s = MakeBeam({{2, 1, 1, 5, 1}, {3, 1, 0, 0, 0}}, false, false);
    CalcStiffness(s, s.K, s.LineStiff, s.EIo, s.EI, s.L);
    CalcLoads(s, s.NodeLoad, s.L, s.LoadType, s.Q, s.A);
    s.K.At(2, 3) += 1e-9;
    s.Theta(1) = 42;
    EXPECT_EQ(SolveEquations(s, s.Theta, s.K, s.NodeLoad), SolveStatus::NotSymmetric);
    EXPECT_EQ(s.Theta(1), 42);
}

TEST(FirstUndefinedSpan, FindsTheFirstZeroRigidity) {
    EXPECT_EQ(FirstUndefinedSpan(MakeBeam({{1, 1}, {1, 0}, {1, 0}}, false, false)), 2);
    EXPECT_EQ(FirstUndefinedSpan(MakeBeam({{1, 1}, {1, -2}}, false, false)), 0);
}

TEST(BeamState, SizingRules) {
    BeamState s;
    s.SizeTyped(3);
    s.L(2) = 7;
    s.SizeTyped(2);  // a new count discards the typed values
    EXPECT_EQ(s.N, 2);
    EXPECT_EQ(s.L.Count(), 2);
    EXPECT_EQ(s.L(2), 1.0);
    EXPECT_EQ(s.EI(1), 1.0);
    s.SizeLoadsAndResults();
    EXPECT_EQ(s.LoadType.Count(), 2);
    EXPECT_EQ(s.M.Count(), 3);
    EXPECT_EQ(s.K.Order(), 3);
    EXPECT_THROW(s.K.At(1, 3), std::out_of_range);
}

}  // namespace
}  // namespace cbeam
