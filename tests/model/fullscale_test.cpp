// Whole beams against an independent solution: the three-moment (Clapeyron)
// equation with the support moments as unknowns, load terms from the free
// moment diagram, solved in long double. It shares no formula with the
// stiffness method, so an error in the fixed-end moments, the assembly, the
// clamped ends or the elimination shows up as a disagreement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "model/driver.h"

namespace cbeam {
namespace {

using Real = long double;

// Moments and rotations at nodes 1..N+1, and the size of the terms the
// rotations are made of (they cancel to nothing between clamped ends).
struct Reference {
    std::vector<Real> m, theta;
    Real thetaScale = 0;
};

// End rotations of the simply supported span under its load, divided by
// its flexibility f = L/(EI EIo).
void LoadTerms(const BeamState& s, int k, Real& left, Real& right) {
    const Real a = s.A(k), l = s.L(k), q = s.Q(k);
    left = right = 0;
    if (s.LoadType(k) == 1) {
        left = q * l * l * (a * a - a * a * a + a * a * a * a / 4) / 6;
        right = q * l * l * (a * a / 2 - a * a * a * a / 4) / 6;
    } else if (s.LoadType(k) == 2) {
        left = q * l * a * (1 - a) * (2 - a) / 6;
        right = q * l * a * (1 - a) * (1 + a) / 6;
    }
}

// f_a H(k-1) + 2 (f_a + f_b) H(k) + f_b H(k+1) = 6 f_a R_a + 6 f_b L_b; a
// clamped end is a neighbour span with f = 0, a pinned end has H = 0.
Reference ThreeMoment(const BeamState& s) {
    const int n = s.N;
    std::vector<Real> f(n + 2, 0), lt(n + 2, 0), rt(n + 2, 0), lo(n + 2, 0), di(n + 2, 0),
        up(n + 2, 0), rhs(n + 2, 0);
    for (int k = 1; k <= n; ++k) {
        f[k] = static_cast<Real>(s.L(k)) / (static_cast<Real>(s.EI(k)) * s.EIo);
        LoadTerms(s, k, lt[k], rt[k]);
    }
    for (int k = 1; k <= n + 1; ++k) {
        if ((k == 1 && s.Flag0 == kFalse) || (k == n + 1 && s.FlagN == kFalse)) {
            di[k] = 1;
            continue;
        }
        lo[k] = k > 1 ? f[k - 1] : 0;
        up[k] = k <= n ? f[k] : 0;
        di[k] = 2 * (lo[k] + up[k]);
        rhs[k] = 6 * (lo[k] * rt[k - 1] + up[k] * lt[k]);
    }
    for (int k = 2; k <= n + 1; ++k) {  // diagonally dominant: no pivoting
        const Real w = lo[k] / di[k - 1];
        di[k] -= w * up[k - 1];
        rhs[k] -= w * rhs[k - 1];
    }
    Reference r{std::vector<Real>(n + 2, 0), std::vector<Real>(n + 2, 0)};
    r.m[n + 1] = rhs[n + 1] / di[n + 1];
    for (int k = n; k >= 1; --k) r.m[k] = (rhs[k] - up[k] * r.m[k + 1]) / di[k];
    for (int k = 1; k <= n; ++k) {
        const Real hl = r.m[k], hr = r.m[k + 1];
        r.theta[k] = f[k] * (lt[k] - hl / 3 - hr / 6);
        r.thetaScale =
            std::max(r.thetaScale, std::fabs(f[k]) * std::max({std::fabs(lt[k]), std::fabs(rt[k]),
                                                               std::fabs(hl), std::fabs(hr)}));
    }
    r.theta[n + 1] = -f[n] * (rt[n] - r.m[n] / 6 - r.m[n + 1] / 3);
    return r;
}

// Largest difference relative to the largest reference magnitude (or `scale`).
Real RelativeError(const RealArray& got, const std::vector<Real>& want, Real scale = 0) {
    for (std::size_t k = 1; k < want.size(); ++k) scale = std::max(scale, std::fabs(want[k]));
    Real err = 0;
    for (std::size_t k = 1; k < want.size(); ++k) {
        const Real e = std::fabs(got(static_cast<int>(k)) - want[k]) / (scale == 0 ? 1 : scale);
        if (!(e <= err)) err = e;  // also NaN
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
    s.EIo = decades(-6, 6) * (u(rng) < 0.1 ? -1 : 1);
    s.Flag0 = u(rng) < 0.5 ? kTrue : kFalse;
    s.FlagN = u(rng) < 0.5 ? kTrue : kFalse;
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
    const struct {
        const char* name;
        int beams, minSpans, maxSpans;
    } rows[] = {{"small", 3000, 1, 40}, {"large", 8, 1000, 5000}, {"largest", 3, 32766, 32766}};
    std::mt19937_64 rng(20261206);
    for (const auto& r : rows) {
        for (int b = 0; b < r.beams; ++b) {
            const int n = r.minSpans + static_cast<int>(rng() % (r.maxSpans - r.minSpans + 1));
            BeamState s = RandomBeam(rng, n);
            if (b < 4) s.Flag0 = b & 1 ? kTrue : kFalse, s.FlagN = b & 2 ? kTrue : kFalse;
            SCOPED_TRACE(::testing::Message() << r.name << " beam " << b << " N=" << n
                                              << " Flag0=" << s.Flag0 << " FlagN=" << s.FlagN);
            ASSERT_TRUE(RunAnalysis(s).status);
            const Reference ref = ThreeMoment(s);
            EXPECT_LE(RelativeError(s.M, ref.m), 1e-11);
            EXPECT_LE(RelativeError(s.Theta, ref.theta, ref.thetaScale), 1e-11);
            if (HasFailure()) return;
        }
    }
}

}  // namespace
}  // namespace cbeam
