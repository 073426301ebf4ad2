// The analysis on beams with closed-form results, the driver, and whole beams
// against an independent solution.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "common/beam_helpers.h"
#include "model/compute.h"
#include "model/driver.h"

namespace cbeam {
namespace {

using testing::MakeBeam;

TEST(FixedEndMoments, ByLoadKindAndPosition) {
    const double q = 12, l = 6, ql2 = q * l * l;
    // clang-format off
    const struct { int kind; double a, femL, femR; } rows[] = {
        {1, 1.0, -ql2 / 12, ql2 / 12}, {1, 0.5, -ql2 * 0.6875 / 12, ql2 * 0.3125 / 12},
        {1, 0.0, 0, 0}, {2, 0.5, -q * l / 8, q * l / 8}, {2, 0.0, 0, 0}, {2, 1.0, 0, 0},
        {0, 0.5, 0, 0}, {2, 0.25, -q * l * 0.25 * 0.75 * 0.75, q * l * 0.0625 * 0.75}};
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message() << "kind " << r.kind << " a=" << r.a);
        BeamState s = MakeBeam({{l, 1, r.kind, q, r.a}}, kFalse, kFalse);
        CalcLoads(s, s.NodeLoad, s.L, s.LoadType, s.Q, s.A);
        EXPECT_NEAR(s.FemL(1), r.femL, 1e-12 * ql2);
        EXPECT_NEAR(s.FemR(1), r.femR, 1e-12 * ql2);
        EXPECT_EQ(std::tuple(s.NodeLoad(1), s.NodeLoad(2)), std::tuple(-s.FemL(1), -s.FemR(1)));
    }
}

// A refused beam keeps its last results, marked as not current. The beams
// that solve have clamped ends, whose rows and columns become the identity's.
TEST(Driver, OutcomesAndTheResultsList) {
    // clang-format off
    const struct { const char* name; BeamState beam; Status status; std::vector<std::string> lines; } rows[] = {
        {"fixed-fixed q=10 on 4 m", MakeBeam({{4, 1, 1, 10, 1}}, kTrue, kTrue), {},
         {"结点 1:13.333333", "结点 2:13.333333"}},
        {"first undefined span of two", MakeBeam({{1, 1}, {1, 0}, {1, 0}}, kTrue, kTrue),
         Status{Code::UndefinedSpan, 2}, {}},
        {"negative EI refused", MakeBeam({{1, 1}, {1, -2}}, kTrue, kTrue),
         Status{.code = Code::NegativeRigidity, .span = 2}, {}},
        {"span beyond 1e4 m", MakeBeam({{1e200, 1, 1, 1, 1}, {1}}, kFalse, kFalse),
         Status{.code = Code::ValueOutOfRange, .span = 1, .field = Field::L}, {}},
        {"load beyond 1e9", MakeBeam({{1, 1, 1, 5e294, 1}, {1, 1}}, kTrue, kTrue),
         Status{.code = Code::ValueOutOfRange, .span = 1, .field = Field::Q}, {}},
        {"EI*EIo below 1e-6", MakeBeam({{1, 1}, {1, 1e-7}}, kTrue, kTrue),
         Status{.code = Code::ValueOutOfRange, .span = 2, .field = Field::EI}, {}},
        {"largest beam, smallest rigidity: finite", MakeBeam({{1e4, 1e-6, 1, 1e9, 1}}, kTrue, kTrue),
         {}, {"结点 1:8333333333333330.000", "结点 2:8333333333333330.000"}}};
    // clang-format on
    for (auto r : rows) {
        SCOPED_TRACE(r.name);
        BeamState& s = r.beam;
        const int n = s.N;
        for (int k = 1; k <= n + 1; ++k) std::tie(s.M(k), s.Theta(k)) = std::pair(100 + k, 200 + k);
        EXPECT_EQ(s.Results.code, Code::NotAnalysed);
        const Analysis a = RunAnalysis(s);
        EXPECT_EQ(a.status, r.status);
        EXPECT_EQ(s.Results, r.status);
        EXPECT_EQ(ResultLines(s) == r.lines, bool(r.status));
        std::vector<std::string> listed;
        for (std::size_t k = 0; k < a.moments.size(); ++k)
            listed.push_back(ResultLine(static_cast<int>(k) + 1, a.moments[k]));
        EXPECT_EQ(listed, r.lines);
        for (int k = 1; !r.status && k <= n + 1; ++k)
            EXPECT_EQ(std::tuple(s.M(k), s.Theta(k)), std::tuple(100.0 + k, 200.0 + k)) << k;
        if (r.status) {
            EXPECT_EQ(std::tuple(s.K(1, 1), s.K(1, 2), s.K(2, 1), s.K(n + 1, n + 1), s.K(n, n + 1)),
                      std::tuple(1.0, 0.0, 0.0, 1.0, 0.0));
        }
    }
}

// Whole beams against the three-moment (Clapeyron) equation in long double, which
// shares no formula with the stiffness method: f_a H(k-1) + 2 (f_a + f_b) H(k) +
// f_b H(k+1) = 6 f_a R_a + 6 f_b L_b, f = L/(EI EIo), L_b and R_b the simple span's
// end rotations over f; a clamped end is a neighbour span with f = 0, a pinned end
// has H = 0. Returns the size of the terms the rotations are made of.
using Real = long double;
using Reals = std::vector<Real>;
Real ThreeMoment(const BeamState& s, Reals& m, Reals& theta) {
    const int n = s.N;
    Reals f(n + 2, 0), lt(n + 2, 0), rt(n + 2, 0), lo(n + 2, 0), di(n + 2, 0), up(n + 2, 0),
        rhs(n + 2, 0);
    for (int k = 1; k <= n; ++k) {
        const Real a = s.A(k), l = s.L(k), q = s.Q(k);
        f[k] = l / (static_cast<Real>(s.EI(k)) * s.EIo);
        if (s.LoadType(k) == 1) {
            lt[k] = q * l * l * (a * a - a * a * a + a * a * a * a / 4) / 6;
            rt[k] = q * l * l * (a * a / 2 - a * a * a * a / 4) / 6;
        } else if (s.LoadType(k) == 2) {
            lt[k] = q * l * a * (1 - a) * (2 - a) / 6;
            rt[k] = q * l * a * (1 - a) * (1 + a) / 6;
        }
    }
    for (int k = 1; k <= n + 1; ++k) {
        di[k] = 1;
        if ((k == 1 && s.Flag0 == kFalse) || (k == n + 1 && s.FlagN == kFalse)) continue;
        lo[k] = k > 1 ? f[k - 1] : 0;
        up[k] = k <= n ? f[k] : 0;
        di[k] = 2 * (lo[k] + up[k]);
        rhs[k] = 6 * (lo[k] * rt[k - 1] + up[k] * lt[k]);
    }
    for (int k = 2; k <= n + 1; ++k) {  // diagonally dominant: no pivoting
        const Real w = lo[k] / di[k - 1];
        di[k] -= w * up[k - 1], rhs[k] -= w * rhs[k - 1];
    }
    m.assign(n + 2, 0), theta.assign(n + 2, 0);
    Real thetaScale = 0;
    m[n + 1] = rhs[n + 1] / di[n + 1];
    for (int k = n; k >= 1; --k) m[k] = (rhs[k] - up[k] * m[k + 1]) / di[k];
    for (int k = 1; k <= n; ++k) {
        theta[k] = f[k] * (lt[k] - m[k] / 3 - m[k + 1] / 6);
        const Real big =
            std::max({std::fabs(lt[k]), std::fabs(rt[k]), std::fabs(m[k]), std::fabs(m[k + 1])});
        thetaScale = std::max(thetaScale, std::fabs(f[k]) * big);
    }
    theta[n + 1] = -f[n] * (rt[n] - m[n] / 6 - m[n + 1] / 3);
    return thetaScale;
}

// Largest difference relative to the largest reference magnitude (or `scale`).
Real RelativeError(const RealArray& got, const Reals& want, Real scale = 0) {
    const int n = static_cast<int>(want.size());
    for (int k = 1; k < n; ++k) scale = std::max(scale, std::fabs(want[k]));
    Real err = 0;
    for (int k = 1; k < n; ++k) {
        const Real e = std::fabs(got(k) - want[k]) / (scale == 0 ? 1 : scale);
        err = e <= err ? err : e;  // also NaN
    }
    return err;
}

// Lengths, rigidities and loads over orders of magnitude, every load kind,
// positions at the ends too; some beams repeat one span, most vary it.
BeamState RandomBeam(std::mt19937_64& rng, int n) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto decades = [&](double lo, double hi) { return std::pow(10.0, lo + (hi - lo) * u(rng)); };
    BeamState s;
    s.SizeAll(n);
    s.EIo = decades(-3, 3);  // EI * EIo stays within the bounds of what a beam can be
    s.Flag0 = u(rng) < 0.5 ? kTrue : kFalse, s.FlagN = u(rng) < 0.5 ? kTrue : kFalse;
    const bool mixed = u(rng) < 0.7;
    const double l0 = decades(-1, 2), ei0 = decades(-3, 3);
    for (int k = 1; k <= n; ++k) {
        s.L(k) = mixed ? decades(-1, 2) : l0;
        s.EI(k) = mixed ? decades(-3, 3) : ei0;
        s.LoadType(k) = static_cast<std::int16_t>(std::min(2, static_cast<int>(u(rng) * 3)));
        const double pick = u(rng);
        s.A(k) = pick < 0.1 ? 0.0 : pick < 0.2 ? 1.0 : pick < 0.3 ? 0.5 : u(rng);
        s.Q(k) = u(rng) < 0.05 ? 0.0 : decades(-2, 3);
    }
    return s;
}

TEST(FullScale, RandomBeamsMatchThreeMoment) {
    // clang-format off
    const struct { const char* name; int beams, minSpans, maxSpans; } rows[] = {
        {"small", 3000, 1, 40}, {"large", 8, 1000, 5000}, {"largest", 3, 32766, 32766}};
    // clang-format on
    std::mt19937_64 rng(20261206);
    for (const auto& r : rows) {
        for (int b = 0; b < r.beams && !HasFailure(); ++b) {
            const int n = r.minSpans + static_cast<int>(rng() % (r.maxSpans - r.minSpans + 1));
            BeamState s = RandomBeam(rng, n);
            if (b < 4) s.Flag0 = b & 1 ? kTrue : kFalse, s.FlagN = b & 2 ? kTrue : kFalse;
            SCOPED_TRACE(::testing::Message() << r.name << " beam " << b << " N=" << n
                                              << " Flag0=" << s.Flag0 << " FlagN=" << s.FlagN);
            ASSERT_TRUE(RunAnalysis(s).status);
            Reals m, theta;
            const Real thetaScale = ThreeMoment(s, m, theta);
            // Relative to the loads' own moments: small node moments can be differences of large
            // ones.
            Real loadScale = 0;
            for (int k = 1; k <= n; ++k)
                loadScale =
                    std::max<Real>(loadScale, s.Q(k) * s.L(k) * (s.LoadType(k) == 1 ? s.L(k) : 1));
            EXPECT_LE(RelativeError(s.M, m, loadScale / 8), 1e-11);
            EXPECT_LE(RelativeError(s.Theta, theta, thetaScale), 1e-11);
        }
    }
}

}  // namespace
}  // namespace cbeam
