#include "model/design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "common/beam_helpers.h"
#include "model/driver.h"

namespace cbeam {
namespace {

using testing::SpanInput;
using Fn = std::function<double(double)>;

BeamState Solved(const std::vector<SpanInput>& spans, bool left, bool right, double EIo) {
    BeamState s = testing::MakeBeam(spans, left ? kTrue : kFalse, right ? kTrue : kFalse, EIo);
    EXPECT_TRUE(RunAnalysis(s).status);
    return s;
}

// Golden-section search for the x where f, unimodal on [lo, hi], is largest.
double ArgMax(const Fn& f, double lo, double hi) {
    for (int i = 0; i < 80; ++i) {
        const double c = hi - 0.618034 * (hi - lo), d = lo + 0.618034 * (hi - lo);
        const bool left = f(c) >= f(d);
        (left ? hi : lo) = left ? d : c;
    }
    return (lo + hi) / 2;
}

// The largest f on [0, l], found without the closed form: the best of 64 samples, refined.
double DenseMax(const Fn& f, double l) {
    int best = 0;
    for (int i = 1; i <= 64; ++i) best = f(l * i / 64) > f(l * best / 64) ? i : best;
    const double x = ArgMax(f, l * std::max(best - 1, 0) / 64, l * std::min(best + 1, 64) / 64);
    return std::max(f(x), f(l * best / 64));
}

// clang-format off
// Textbook beams: L = 6 m, q = 10 kN/m, P = 30 kN, EI = 2 x 1.5 x 10^6 kN m^2 (kMm: mm EI).
constexpr double kL = 6, kQ = 10, kP = 30, kEI = 2, kEIo = 1.5, kMm = 1000 / (kEI * kEIo * 1e6);
constexpr double qL = kQ * kL, qL2 = kQ * kL * kL;
// Propped cantilever under q, pinned at x = 0: w = q x (L^3 - 3 L x^2 + 2 x^3) / 48 EI, largest
// at x = L (1 + sqrt 33) / 16.
const double kXp = kL * (1 + std::sqrt(33.0)) / 16,
             kWp = kMm * kQ * kXp * (kL * kL * kL - 3 * kL * kXp * kXp + 2 * kXp * kXp * kXp) / 48;
// Simple span, P at a from the left, b = L - a < a: largest w at sqrt(a (a + 2b) / 3).
constexpr double kA = 4.5, kB = 1.5, kD = kA + 2 * kB;
const double kWpt = kMm * kP * kA * kB * kD * std::sqrt(3 * kA * kD) / 27 / kL;
// Simple span, q over c from the left: R1 = q c (2L - c) / 2L, largest sag R1^2 / 2q at R1 / q;
// w = q x (c^2 (2L - c)^2 - 2 c x^2 (2L - c) + L x^3) / 24 EI L under the load.
constexpr double kC = 3, kE = 2 * kL - kC, kR1 = kQ * kC * kE / (2 * kL);
const Fn kWc = [](double x) {
    return kMm * kQ * x * (kC * kC * kE * kE - 2 * kC * x * x * kE + kL * x * x * x) / 24 / kL; };
const double kXc = ArgMax(kWc, 0, kC);

struct Published { const char* name; std::vector<SpanInput> spans; bool fixedLeft, fixedRight;
                   std::vector<double> R; double Msag, xMsag, w, xw; };  // w, x of span 1
class PublishedValues : public ::testing::TestWithParam<Published> {};
INSTANTIATE_TEST_SUITE_P(Design, PublishedValues, ::testing::Values(
    Published{"SimpleSpanUniform", {{kL, kEI, 1, kQ, 1}}, false, false, {qL / 2, qL / 2},
              -qL2 / 8, kL / 2, kMm * 5 * kQ * std::pow(kL, 4) / 384, kL / 2},
    Published{"TwoSpansUniform", {{kL, kEI, 1, kQ, 1}, {kL, kEI, 1, kQ, 1}}, false, false,
              {qL * 3 / 8, qL * 10 / 8, qL * 3 / 8}, -qL2 * 9 / 128, kL * 3 / 8, kWp, kXp},
    Published{"ProppedCantileverUniform", {{kL, kEI, 1, kQ, 1}}, true, false,
              {qL * 5 / 8, qL * 3 / 8}, -qL2 * 9 / 128, kL * 5 / 8, kWp, kL - kXp},
    Published{"FixedFixedCentralPoint", {{kL, kEI, 2, kP, 0.5}}, true, true, {kP / 2, kP / 2},
              -kP * kL / 8, kL / 2, kMm * kP * std::pow(kL, 3) / 192, kL / 2},
    Published{"SimpleSpanPointOffCentre", {{kL, kEI, 2, kP, kA / kL}}, false, false,
              {kP * kB / kL, kP * kA / kL}, -kP * kA * kB / kL, kA, kWpt,
              std::sqrt(kA * kD / 3)},
    Published{"SimpleSpanUniformOverLeftHalf", {{kL, kEI, 1, kQ, kC / kL}}, false, false,
              {kR1, kQ * kC - kR1}, -kR1 * kR1 / (2 * kQ), kR1 / kQ, kWc(kXc), kXc},
    Published{"FixedFixedUniform", {{kL, kEI, 1, kQ, 1}}, true, true, {qL / 2, qL / 2},
              -qL2 / 24, kL / 2, kMm * kQ * std::pow(kL, 4) / 384, kL / 2},
    // Support moments qL^2/10, and 3qL^2/28 and qL^2/14; deflections not checked.
    Published{"ThreeEqualSpans", std::vector<SpanInput>(3, {kL, kEI, 1, kQ, 1}), false, false,
              {qL * 0.4, qL * 1.1, qL * 1.1, qL * 0.4}, -qL2 * 0.08, kL * 0.4, NAN, NAN},
    Published{"FourEqualSpans", std::vector<SpanInput>(4, {kL, kEI, 1, kQ, 1}), false, false,
              {qL * 11 / 28, qL * 32 / 28, qL * 26 / 28, qL * 32 / 28, qL * 11 / 28},
              -qL2 * 121 / 1568, kL * 11 / 28, NAN, NAN},
    // Everything zero: the positions of the ties are the left end.
    Published{"UnloadedFixedSpan", {{kL, kEI, 2, 0, 0.5}}, true, true, {0, 0}, 0, 0, 0, 0},
    Published{"PointLoadsOnSupports", {{kL, kEI, 2, kP, 0}, {kL, kEI, 2, kP, 1}}, true, false,
              {kP, 0, kP}, 0, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });
const struct { const char* name; int n; bool fixedLeft, fixedRight; } kRandomBeams[] = {
    {"OneSpanPinned", 1, false, false}, {"OneSpanFixed", 1, true, true},
    {"SixSpansFixedPinned", 6, true, false}, {"FortySpansPinnedFixed", 40, false, true},
    {"LargestBeamFixed", kMaxSpans, true, true}, {"LargestBeamPinned", kMaxSpans, false, false}};
// clang-format on

TEST_P(PublishedValues, OfSpanOne) {
    const Published& c = GetParam();
    const DesignValues d = ComputeDesignValues(Solved(c.spans, c.fixedLeft, c.fixedRight, kEIo));
    ASSERT_EQ(d.R.size(), c.R.size());
    for (std::size_t j = 0; j < c.R.size(); ++j) EXPECT_NEAR(d.R[j], c.R[j], 1e-12 * qL) << j;
    const SpanValues& v = d.spans[0];
    EXPECT_NEAR(v.Msag, c.Msag, 1e-12 * qL2);
    EXPECT_NEAR(v.xMsag, c.xMsag, 1e-12 * kL);
    if (std::isnan(c.w)) return;
    EXPECT_NEAR(v.w, c.w, 1e-12 * std::fabs(c.w));
    EXPECT_NEAR(v.xw, c.xw, 1e-7 * kL);  // as exact as the golden section of one row
}

// Spans of every load kind, also at a = 0 and 1, and now and then a load too small for its
// neighbours' moments (an ill-conditioned cubic).
TEST(DesignProperties, HoldOnEverySpanOfRandomBeams) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    for (const auto& row : kRandomBeams) {
        SCOPED_TRACE(row.name);
        std::vector<SpanInput> spans;
        for (int k = 0; k < row.n; ++k) {
            const int kind = static_cast<int>(rng() % 3), pick = static_cast<int>(rng() % 4);
            const double a = pick == 0 ? 0 : pick == 1 ? 1 : u(rng);
            const double q = 50 * u(rng) * (k % 7 == 3 ? 1e-7 : 1);
            spans.push_back({0.5 + 11.5 * u(rng), 0.2 + 4.8 * u(rng), kind, q, a});
        }
        const BeamState s = Solved(spans, row.fixedLeft, row.fixedRight, 0.7);
        const DesignValues d = ComputeDesignValues(s);
        double total = 0;
        for (int k = 1; k <= s.N && !HasFailure(); ++k) {
            SCOPED_TRACE("span " + std::to_string(k));
            const SpanCurve span(s, k);
            const SpanValues& v = d.spans[static_cast<std::size_t>(k) - 1];
            const double l = s.L(k), ei = s.EI(k) * s.EIo * 1e6;
            const LoadKind kind = s.Kind(k);
            const double load =
                s.Q(k) * (kind == LoadKind::Uniform ? s.A(k) * l : kind == LoadKind::Point);
            total += load;
            // Scales of the span's moments, slopes and deflections.
            const double ms = std::fabs(s.M(k)) + std::fabs(s.M(k + 1)) + load * l;
            const double ts = ms * l / ei, ws = 1000 * ts * l;
            EXPECT_NEAR(v.Vl - v.Vr, load, 1e-12 * ms / l);
            EXPECT_NEAR(span.Shear(0) - span.Shear(l), load, 1e-12 * ms / l);  // also a = 0, 1
            for (const int end : {0, 1}) {
                EXPECT_NEAR(span.Moment(end * l), s.M(k + end), 1e-12 * ms);
                EXPECT_NEAR(span.Deflection(end * l), 0, 1e-12 * ws);
                EXPECT_NEAR(span.Slope(end * l), s.Theta(k + end) / 1e6, 1e-12 * ts);
            }
            // Inside, away from a point load: V = -dM/dx and w'' = M / EI.
            const double h = 1e-3 * l;
            for (double x : {0.23 * l, 0.61 * l, 0.87 * l}) {
                if (std::fabs(x - s.A(k) * l) < 2 * h) continue;
                EXPECT_NEAR(span.Shear(x), (span.Moment(x - h) - span.Moment(x + h)) / (2 * h),
                            1e-7 * ms / l);
                const double w2 =
                    span.Deflection(x - h) - 2 * span.Deflection(x) + span.Deflection(x + h);
                EXPECT_NEAR(w2 / (1000 * h * h), span.Moment(x) / ei, 1e-5 * ms / ei);
            }
            // The extremes are attained where stated, and none found densely is more extreme.
            EXPECT_LE(v.Msag, -DenseMax([&](double x) { return -span.Moment(x); }, l) + 1e-11 * ms);
            EXPECT_NEAR(span.Moment(v.xMsag), v.Msag, 1e-12 * ms);
            EXPECT_GE(
                std::fabs(v.w),
                DenseMax([&](double x) { return std::fabs(span.Deflection(x)); }, l) - 1e-11 * ws);
            EXPECT_NEAR(span.Deflection(v.xw), v.w, 1e-12 * ws);
            for (const double x : {v.xMsag, v.xw})
                EXPECT_TRUE(x >= 0 && x <= l) << x << " of " << l;
        }
        EXPECT_NEAR(std::accumulate(d.R.begin(), d.R.end(), 0.0), total, 1e-12 * total);
    }
}

}  // namespace
}  // namespace cbeam
