#include "model/design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "common/beam_helpers.h"
#include "model/compute.h"

namespace cbeam {
namespace {

using testing::SpanInput;
using Fn = std::function<double(double)>;

// Rows print as their names in failure messages.
template <class Row>
requires requires(Row r) {
    r.name;
}
void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

BeamState Solved(const std::vector<SpanInput>& spans, bool fixedLeft, bool fixedRight,
                 double EIo = 1) {
    BeamState s =
        testing::MakeBeam(spans, fixedLeft ? kTrue : kFalse, fixedRight ? kTrue : kFalse, EIo);
    EXPECT_EQ(Analyse(s), SolveStatus::Solved);
    return s;
}

double TotalLoad(const BeamState& s, int k) {
    if (s.Kind(k) == LoadKind::Uniform) return s.Q(k) * s.A(k) * s.L(k);
    return s.Kind(k) == LoadKind::Point ? s.Q(k) : 0;
}

// Golden-section search for the x where f, unimodal on [lo, hi], is largest.
double ArgMax(const Fn& f, double lo, double hi) {
    const double g = (std::sqrt(5.0) - 1) / 2;
    for (int i = 0; i < 80; ++i) {
        const double c = hi - g * (hi - lo), d = lo + g * (hi - lo);
        if (f(c) >= f(d)) {
            hi = d;
        } else {
            lo = c;
        }
    }
    return (lo + hi) / 2;
}

// The largest f on [0, l]: 64 samples, then golden section around the best.
double DenseMax(const Fn& f, double l) {
    int best = 0;
    for (int i = 1; i <= 64; ++i) {
        if (f(l * i / 64) > f(l * best / 64)) best = i;
    }
    const double x = ArgMax(f, l * std::max(best - 1, 0) / 64, l * std::min(best + 1, 64) / 64);
    return std::max(f(x), f(l * best / 64));
}

// Textbook beams; L = 6 m, q = 10 kN/m, P = 30 kN, EI = 2 x 1.5 x 10^6 kN m^2.
constexpr double kL = 6, kQ = 10, kP = 30, kEI = 2, kEIo = 1.5, kEIr = kEI * kEIo * 1e6;
// Propped cantilever under q, pinned end at 0: w = q x (L^3 - 3 L x^2 + 2 x^3) / 48EI,
// largest at x = L (1 + sqrt 33) / 16.
const double kXp = kL * (1 + std::sqrt(33.0)) / 16;
const double kWp =
    1000 * kQ * kXp * (std::pow(kL, 3) - 3 * kL * kXp * kXp + 2 * std::pow(kXp, 3)) / (48 * kEIr);
// Simple span, P at a from the left, b = L - a < a: largest w at sqrt(a (a + 2b) / 3).
constexpr double kA = 4.5, kB = 1.5;
const double kWpt =
    1000 * kP * kA * kB * (kA + 2 * kB) * std::sqrt(3 * kA * (kA + 2 * kB)) / (27 * kEIr * kL);
// Simple span, q over the left half c: R1 = q c (2L - c) / 2L, largest sag R1^2 / 2q at R1 / q;
// w(x) = q x (c^2 (2L - c)^2 - 2 c x^2 (2L - c) + L x^3) / 24 EI L under the load.
constexpr double kC = 3, kR1 = kQ * kC * (2 * kL - kC) / (2 * kL);
const Fn kHalf = [](double x) {
    return 1000 * kQ * x *
           (kC * kC * std::pow(2 * kL - kC, 2) - 2 * kC * x * x * (2 * kL - kC) + kL * x * x * x) /
           (24 * kEIr * kL);
};

struct Published {
    const char* name;
    std::vector<SpanInput> spans;
    bool fixedLeft, fixedRight;
    std::vector<double> R;
    double Msag, xMsag, w, xw;  // of span 1
};

class PublishedValues : public ::testing::TestWithParam<Published> {};

TEST_P(PublishedValues, OfSpanOne) {
    const Published& c = GetParam();
    const DesignValues d = ComputeDesignValues(Solved(c.spans, c.fixedLeft, c.fixedRight, kEIo));
    ASSERT_EQ(d.R.size(), c.R.size());
    for (std::size_t j = 0; j < c.R.size(); ++j) EXPECT_NEAR(d.R[j], c.R[j], 1e-12 * kQ * kL);
    const SpanValues& v = d.spans[0];
    EXPECT_NEAR(v.Msag, c.Msag, 1e-12 * kQ * kL * kL);
    EXPECT_NEAR(v.xMsag, c.xMsag, 1e-12 * kL);
    EXPECT_NEAR(v.w, c.w, 1e-12 * std::fabs(c.w) + 1e-300);
    EXPECT_NEAR(v.xw, c.xw, 1e-7 * kL);  // only as exact as the golden section of one row
}

const double qL = kQ * kL, qL2 = kQ * kL * kL;
INSTANTIATE_TEST_SUITE_P(
    Design, PublishedValues,
    ::testing::Values(
        Published{"SimpleSpanUniform",
                  {{kL, kEI, 1, kQ, 1}},
                  false,
                  false,
                  {qL / 2, qL / 2},
                  -qL2 / 8,
                  kL / 2,
                  1000 * 5 * kQ* std::pow(kL, 4) / (384 * kEIr),
                  kL / 2},
        Published{"TwoSpansUniform",
                  {{kL, kEI, 1, kQ, 1}, {kL, kEI, 1, kQ, 1}},
                  false,
                  false,
                  {qL * 3 / 8, qL * 10 / 8, qL * 3 / 8},
                  -qL2 * 9 / 128,
                  kL * 3 / 8,
                  kWp,
                  kXp},
        Published{"ProppedCantileverUniform",
                  {{kL, kEI, 1, kQ, 1}},
                  true,
                  false,
                  {qL * 5 / 8, qL * 3 / 8},
                  -qL2 * 9 / 128,
                  kL * 5 / 8,
                  kWp,
                  kL - kXp},
        Published{"FixedFixedCentralPoint",
                  {{kL, kEI, 2, kP, 0.5}},
                  true,
                  true,
                  {kP / 2, kP / 2},
                  -kP* kL / 8,
                  kL / 2,
                  1000 * kP* std::pow(kL, 3) / (192 * kEIr),
                  kL / 2},
        Published{"SimpleSpanPointOffCentre",
                  {{kL, kEI, 2, kP, kA / kL}},
                  false,
                  false,
                  {kP * kB / kL, kP* kA / kL},
                  -kP* kA* kB / kL,
                  kA,
                  kWpt,
                  std::sqrt(kA*(kA + 2 * kB) / 3)},
        Published{"SimpleSpanUniformOverLeftHalf",
                  {{kL, kEI, 1, kQ, kC / kL}},
                  false,
                  false,
                  {kR1, kQ* kC - kR1},
                  -kR1* kR1 / (2 * kQ),
                  kR1 / kQ,
                  kHalf(ArgMax(kHalf, 0, kC)),
                  ArgMax(kHalf, 0, kC)},
        // Everything zero: the positions of the ties are the left end.
        Published{"UnloadedFixedSpan", {{kL, kEI, 2, 0, 0.5}}, true, true, {0, 0}, 0, 0, 0, 0},
        Published{"PointLoadsOnSupports",
                  {{kL, kEI, 2, kP, 0}, {kL, kEI, 2, kP, 1}},
                  true,
                  false,
                  {kP, 0, kP},
                  0,
                  0,
                  0,
                  0}),
    [](const auto& info) { return std::string(info.param.name); });

// Random beams of every load kind, including loads at a = 0 and a = 1 and
// partial uniform loads; mirrorable beams keep to loads that a mirror can hold.
std::vector<SpanInput> RandomSpans(int n, unsigned seed, bool mirrorable) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<SpanInput> spans;
    for (int k = 0; k < n; ++k) {
        const int kind = static_cast<int>(rng() % 3), pick = static_cast<int>(rng() % 4);
        double a = pick == 0 ? 0 : pick == 1 ? 1 : u(rng);
        if (mirrorable) a = kind == 1 ? 1 : static_cast<double>(rng() % 9) / 8;
        // Now and then a load too small for its neighbours' moments: the cubic
        // of its slope is then badly conditioned.
        const double q = 50 * u(rng) * (k % 7 == 3 ? 1e-7 : 1);
        spans.push_back({0.5 + 11.5 * u(rng), 0.2 + 4.8 * u(rng), kind, q, a});
    }
    return spans;
}

struct RandomCase {
    const char* name;
    int n;
    unsigned seed;
    bool fixedLeft, fixedRight;
};

class DesignProperties : public ::testing::TestWithParam<RandomCase> {};

TEST_P(DesignProperties, HoldOnEverySpan) {
    const RandomCase& c = GetParam();
    const BeamState s = Solved(RandomSpans(c.n, c.seed, false), c.fixedLeft, c.fixedRight, 0.7);
    const DesignValues d = ComputeDesignValues(s);
    ASSERT_EQ(d.R.size(), static_cast<std::size_t>(c.n) + 1);
    double total = 0;
    for (int k = 1; k <= s.N; ++k) {
        SCOPED_TRACE("span " + std::to_string(k));
        const SpanCurve span(s, k);
        const SpanValues& v = d.spans[static_cast<std::size_t>(k) - 1];
        const double l = s.L(k), ei = s.EI(k) * s.EIo * 1e6, load = TotalLoad(s, k);
        total += load;
        // Scales of the span's moments, slopes and deflections.
        const double ms = std::fabs(s.M(k)) + std::fabs(s.M(k + 1)) + load * l;
        const double ts = (std::fabs(s.Theta(k)) + std::fabs(s.Theta(k + 1))) / 1e6 + ms * l / ei;
        const double ws = 1000 * ms * l * l / ei;
        EXPECT_NEAR(v.Vl - v.Vr, load, 1e-12 * ms / l);
        EXPECT_NEAR(span.Shear(0) - span.Shear(l), load, 1e-12 * ms / l);  // also at a = 0, 1
        EXPECT_NEAR(span.Moment(0), s.M(k), 1e-12 * ms);
        EXPECT_NEAR(span.Moment(l), s.M(k + 1), 1e-12 * ms);
        EXPECT_NEAR(span.Deflection(0), 0, 1e-12 * ws);
        EXPECT_NEAR(span.Deflection(l), 0, 1e-12 * ws);
        EXPECT_NEAR(span.Slope(0), s.Theta(k) / 1e6, 1e-12 * ts);
        EXPECT_NEAR(span.Slope(l), s.Theta(k + 1) / 1e6, 1e-12 * ts);
        // Inside the span, away from a point load: V = -dM/dx and w'' = M / EI.
        const double h = 1e-3 * l;
        for (double x : {0.23 * l, 0.61 * l, 0.87 * l}) {
            if (std::fabs(x - s.A(k) * l) < 2 * h) continue;
            EXPECT_NEAR(span.Shear(x), (span.Moment(x - h) - span.Moment(x + h)) / (2 * h),
                        1e-7 * ms / l);
            const double w2 =
                span.Deflection(x - h) - 2 * span.Deflection(x) + span.Deflection(x + h);
            EXPECT_NEAR(w2 / (1000 * h * h), span.Moment(x) / ei, 1e-5 * ms / ei);
        }
        // The extremes are attained where they are said to be, and nothing
        // found densely is more extreme.
        EXPECT_LE(v.Msag, -DenseMax([&](double x) { return -span.Moment(x); }, l) + 1e-11 * ms);
        EXPECT_NEAR(span.Moment(v.xMsag), v.Msag, 1e-12 * ms);
        EXPECT_GE(
            std::fabs(v.w),
            DenseMax([&](double x) { return std::fabs(span.Deflection(x)); }, l) - 1e-11 * ws);
        EXPECT_NEAR(span.Deflection(v.xw), v.w, 1e-12 * ws);
        EXPECT_TRUE(v.xMsag >= 0 && v.xMsag <= l && v.xw >= 0 && v.xw <= l);
        if (HasFailure()) return;
    }
    EXPECT_NEAR(std::accumulate(d.R.begin(), d.R.end(), 0.0), total, 1e-12 * total);
}

INSTANTIATE_TEST_SUITE_P(Design, DesignProperties,
                         ::testing::Values(RandomCase{"OneSpanPinned", 1, 1, false, false},
                                           RandomCase{"OneSpanFixed", 1, 2, true, true},
                                           RandomCase{"SixSpansFixedPinned", 6, 3, true, false},
                                           RandomCase{"FortySpansPinnedFixed", 40, 4, false, true},
                                           RandomCase{"LargestBeamFixed", kMaxSpans, 5, true, true},
                                           RandomCase{"LargestBeamPinned", kMaxSpans, 6, false,
                                                      false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A transformed beam against the original: mirrored, loads times 3, EI times 4.
struct Transform {
    const char* name;
    bool mirror;
    double loads, rigidity;
};

class DesignTransforms : public ::testing::TestWithParam<Transform> {};

TEST_P(DesignTransforms, MapEveryValue) {
    const Transform& t = GetParam();
    std::vector<SpanInput> spans = RandomSpans(12, 7, true), changed = spans;
    for (SpanInput& sp : changed) {
        sp.Q *= t.loads;
        if (t.mirror && sp.kind == 2) sp.A = 1 - sp.A;
    }
    if (t.mirror) std::reverse(changed.begin(), changed.end());
    const DesignValues d = ComputeDesignValues(Solved(spans, true, false, 0.8));
    const DesignValues e =
        ComputeDesignValues(Solved(changed, t.mirror ? false : true, t.mirror, 0.8 * t.rigidity));
    const std::size_t n = spans.size();
    double fs = 0, ms = 0, ws = 0;  // scales
    for (std::size_t k = 0; k < n; ++k) {
        fs = std::max({fs, std::fabs(d.R[k]), std::fabs(d.spans[k].Vl), std::fabs(d.spans[k].Vr)});
        ms = std::max(ms, std::fabs(d.spans[k].Msag));
        ws = std::max(ws, std::fabs(d.spans[k].w));
    }
    const double wf = t.loads / t.rigidity;
    for (std::size_t j = 0; j <= n; ++j) {
        EXPECT_NEAR(e.R[t.mirror ? n - j : j], t.loads * d.R[j], 1e-12 * t.loads * fs) << j;
    }
    for (std::size_t k = 0; k < n; ++k) {
        SCOPED_TRACE("span " + std::to_string(k + 1));
        const SpanValues &a = d.spans[k], &b = e.spans[t.mirror ? n - 1 - k : k];
        const double l = spans[k].L;
        EXPECT_NEAR(b.Vl, t.loads * (t.mirror ? -a.Vr : a.Vl), 1e-12 * t.loads * fs);
        EXPECT_NEAR(b.Vr, t.loads * (t.mirror ? -a.Vl : a.Vr), 1e-12 * t.loads * fs);
        EXPECT_NEAR(b.Msag, t.loads * a.Msag, 1e-12 * t.loads * ms);
        EXPECT_NEAR(b.xMsag, t.mirror ? l - a.xMsag : a.xMsag, 1e-12 * l);
        EXPECT_NEAR(b.w, wf * a.w, 1e-12 * wf * ws);
        EXPECT_NEAR(b.xw, t.mirror ? l - a.xw : a.xw, 1e-12 * l);
    }
}

INSTANTIATE_TEST_SUITE_P(Design, DesignTransforms,
                         ::testing::Values(Transform{"Mirrored", true, 1, 1},
                                           Transform{"LoadsTimesThree", false, 3, 1},
                                           Transform{"RigidityTimesFour", false, 1, 4},
                                           Transform{"MirroredAndScaled", true, 0.37, 2.5}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cbeam
