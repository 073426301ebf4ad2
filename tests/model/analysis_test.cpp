// The steps of the analysis on beams with closed-form results, and the driver.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/beam_helpers.h"
#include "model/compute.h"
#include "model/driver.h"

namespace cbeam {
namespace {

using testing::MakeBeam;
using Span = testing::SpanInput;

TEST(FixedEndMoments, ByLoadKindAndPosition) {
    const double q = 12, l = 6, ql2 = q * l * l;
    const struct {
        int kind;
        double a, femL, femR;
    } rows[] = {
        // clang-format off
        {1, 1.0, -ql2 / 12, ql2 / 12}, {1, 0.5, -ql2 * 0.6875 / 12, ql2 * 0.3125 / 12},
        {1, 0.0, 0, 0}, {2, 0.5, -q * l / 8, q * l / 8}, {2, 0.0, 0, 0}, {2, 1.0, 0, 0},
        {0, 0.5, 0, 0}, {2, 0.25, -q * l * 0.25 * 0.75 * 0.75, q * l * 0.0625 * 0.75},
        // clang-format on
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message() << "kind " << r.kind << " a=" << r.a);
        BeamState s = MakeBeam({{l, 1, r.kind, q, r.a}}, kFalse, kFalse);
        CalcLoads(s, s.NodeLoad, s.L, s.LoadType, s.Q, s.A);
        EXPECT_NEAR(s.FemL(1), r.femL, 1e-12 * ql2);
        EXPECT_NEAR(s.FemR(1), r.femR, 1e-12 * ql2);
        EXPECT_EQ(s.NodeLoad(1), -s.FemL(1));
        EXPECT_EQ(s.NodeLoad(2), -s.FemR(1));
    }
}

// Single spans in every end condition, and equal spans under equal loads
// (pinned outer ends): the driver takes the end conditions from the state.
TEST(Driver, TextbookBeams) {
    const double q = 10, P = 30, l = 6, EIo = 2, i = EIo / l, ql2 = q * l * l;
    const struct {
        const char* name;
        std::vector<Span> spans;
        std::int16_t left, right;
        std::vector<double> m, theta;  // theta empty: not checked
    } rows[] = {
        // clang-format off
        {"pinned-pinned uniform", {{l, 1, 1, q, 1}}, kFalse, kFalse, {0, 0},
         {ql2 / (24 * i), -ql2 / (24 * i)}},
        {"pinned-pinned point", {{l, 1, 2, P, 0.3}}, kFalse, kFalse, {0, 0}, {}},
        {"fixed-fixed uniform", {{l, 1, 1, q, 1}}, kTrue, kTrue, {ql2 / 12, ql2 / 12}, {0, 0}},
        {"fixed-fixed point", {{l, 1, 2, P, 0.5}}, kTrue, kTrue, {P * l / 8, P * l / 8}, {0, 0}},
        {"fixed-pinned uniform", {{l, 1, 1, q, 1}}, kTrue, kFalse, {ql2 / 8, 0},
         {0, -ql2 / 12 / (4 * i)}},
        {"pinned-fixed uniform", {{l, 1, 1, q, 1}}, kFalse, kTrue, {0, ql2 / 8},
         {ql2 / 12 / (4 * i), 0}},
        {"fixed-pinned unloaded", {{2, 1, 0, 5, 0.5}, {3, 2, 0, 9, 1}}, kTrue, kFalse, {0, 0, 0}, {}},
        {"2 equal spans", {{l, 1, 1, q, 1}, {l, 1, 1, q, 1}}, kFalse, kFalse, {0, ql2 / 8, 0}, {}},
        {"3 equal spans", std::vector<Span>(3, {l, 1, 1, q, 1}), kFalse, kFalse,
         {0, ql2 / 10, ql2 / 10, 0}, {}},
        {"4 equal spans", std::vector<Span>(4, {l, 1, 1, q, 1}), kFalse, kFalse,
         {0, 3 * ql2 / 28, ql2 / 14, 3 * ql2 / 28, 0}, {}},
        // clang-format on
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        BeamState s = MakeBeam(r.spans, r.left, r.right, EIo);
        ASSERT_TRUE(RunAnalysis(s).status);
        for (int k = 1; k <= s.N + 1; ++k) {
            EXPECT_NEAR(s.M(k), r.m[k - 1], 1e-12 * ql2) << "node " << k;
            if (!r.theta.empty()) {
                EXPECT_NEAR(s.Theta(k), r.theta[k - 1], 1e-12 * ql2 / i);
            }
        }
        // A clamped end's row and column become those of the identity.
        EXPECT_TRUE(!r.left || (s.K(1, 1) == 1 && s.K(1, 2) == 0 && s.K(2, 1) == 0));
        EXPECT_TRUE(!r.right || (s.K(s.N + 1, s.N + 1) == 1 && s.K(s.N, s.N + 1) == 0));
    }
}

// A refused beam keeps its last results, marked as not current.
TEST(Driver, OutcomesAndTheResultsList) {
    const struct {
        const char* name;
        BeamState beam;
        Status status;
        std::vector<std::string> lines;
    } rows[] = {
        // clang-format off
        {"fixed-fixed q=10 on 4 m", MakeBeam({{4, 1, 1, 10, 1}}, kTrue, kTrue), {},
         {"结点 1:13.333333", "结点 2:13.333333"}},
        {"negative moments", MakeBeam({{4, 1, 1, -10, 1}}, kTrue, kTrue), {},
         {"结点 1:-13.333333", "结点 2:-13.333333"}},
        {"first undefined span of two", MakeBeam({{1, 1}, {1, 0}, {1, 0}}, kTrue, kTrue),
         Status{Code::UndefinedSpan, 2}, {}},
        {"negative EI is not undefined", MakeBeam({{1, 1}, {1, -2}}, kTrue, kTrue), {},
         {"结点 1:0.000", "结点 2:0.000", "结点 3:0.000"}},
        {"rigidities cancelling at the free node",
         MakeBeam({{2, 1, 1, 5, 1}, {2, -1, 1, 5, 1}}, kTrue, kTrue), Status{Code::NotSolvable}, {}},
        {"overflowing loads", MakeBeam({{1e200, 1, 1, 1e200, 1}, {1}}, kFalse, kFalse),
         Status{Code::NotSolvable}, {}},
        {"rotations finite, moments beyond the doubles",
         MakeBeam({{1, 1, 1, 5e294, 1}, {1, -0.9999999999999998}}, kTrue, kTrue, 100),
         Status{Code::NotSolvable}, {}},
        // clang-format on
    };
    for (auto r : rows) {
        SCOPED_TRACE(r.name);
        BeamState& s = r.beam;
        for (int k = 1; k <= s.N + 1; ++k)
            std::tie(s.M(k), s.Theta(k)) = std::pair(100 + k, 200 + k);
        EXPECT_EQ(s.Results.code, Code::NotAnalysed);
        const Analysis a = RunAnalysis(s);
        EXPECT_EQ(a.status, r.status);
        EXPECT_EQ(s.Results, r.status);
        EXPECT_EQ(a.lines, r.lines);
        EXPECT_EQ(ResultLines(s) == r.lines, bool(r.status));
        if (!r.status) {
            for (int k = 1; k <= s.N + 1; ++k)
                EXPECT_TRUE(s.M(k) == 100 + k && s.Theta(k) == 200 + k);
        }
    }
}

TEST(SolveEquations, RefusesAnAsymmetricMatrix) {
    BeamState s = MakeBeam({{2, 1, 1, 5, 1}, {3, 1, 0, 0, 0}}, kFalse, kFalse);
    CalcStiffness(s, s.K, s.LineStiff, s.EIo, s.EI, s.L);
    CalcLoads(s, s.NodeLoad, s.L, s.LoadType, s.Q, s.A);
    s.K.At(2, 3) += 1e-9;
    s.Theta(1) = 42;
    EXPECT_EQ(SolveEquations(s, s.Theta, s.K, s.NodeLoad), Code::NotSymmetric);
    EXPECT_EQ(s.Theta(1), 42);
}

TEST(BeamState, SizingDiscardsValuesAndResults) {
    BeamState s;
    s.SizeTyped(3);
    s.L(2) = 7;
    s.SizeTyped(2);
    EXPECT_TRUE(s.N == 2 && s.L.Count() == 2 && s.L(2) == 1.0 && s.EI(1) == 1.0);
    s.SizeLoadsAndResults();
    s.EIo = 1;
    ASSERT_TRUE(RunAnalysis(s).status);
    s.SizeLoadsAndResults();
    EXPECT_EQ(s.Results.code, Code::NotAnalysed);
    EXPECT_TRUE(s.LoadType.Count() == 2 && s.M.Count() == 3 && s.K.Order() == 3);
    EXPECT_THROW(s.K.At(1, 3), std::out_of_range);
}

}  // namespace
}  // namespace cbeam
