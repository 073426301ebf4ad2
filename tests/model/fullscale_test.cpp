// Whole-beam checks of the analysis against an independent solution: the
// three-moment (Clapeyron) equation with the support moments as unknowns,
// free-moment load terms from integrals of the simply supported moment
// diagram, and the tridiagonal system solved in long double. Nothing here
// shares a formula with the stiffness method under test, so an error in the
// fixed-end moments, the assembly, the clamped-end handling or the
// elimination shows up as a disagreement.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "model/compute.h"

namespace {

using cbeam::BeamState;
using cbeam::kFalse;
using cbeam::kTrue;
using Real = long double;

struct Reference {
    std::vector<Real> moment;    // 1..N+1, hogging positive
    std::vector<Real> rotation;  // 1..N+1, clockwise positive
    // Size of the terms the rotations are made of; rotations that cancel to
    // nothing (a span clamped at both ends) are judged against it.
    Real rotationScale = 0;
};

// Rotations of the ends of a simply supported span under its own load,
// divided by the span's flexibility L/(EI*EIo): (1/L^2) times the first
// moment of the free bending-moment diagram about the far end (left) or
// the near end (right).
void LoadTerms(const BeamState& s, int k, Real& left, Real& right) {
    const Real a = s.A(k);
    const Real l = s.L(k);
    const Real q = s.Q(k);
    switch (s.LoadType(k)) {
        case 1:  // integral over the loaded length of the point-load terms
            left = q * l * l * (a * a - a * a * a + a * a * a * a / 4) / 6;
            right = q * l * l * (a * a / 2 - a * a * a * a / 4) / 6;
            return;
        case 2:  // P c d (L+d) / (6 L^2) and P c d (L+c) / (6 L^2)
            left = q * l * a * (1 - a) * (2 - a) / 6;
            right = q * l * a * (1 - a) * (1 + a) / 6;
            return;
        default:
            left = right = 0;
            return;
    }
}

// Clapeyron for node k between spans a = k-1 and b = k (f = L/(EI*EIo)):
//   f_a H(k-1) + 2 (f_a + f_b) H(k) + f_b H(k+1) = 6 f_a R_a + 6 f_b L_b.
// A clamped end is an imaginary neighbour span with f = 0; a pinned end
// has H = 0.
Reference ThreeMoment(const BeamState& s) {
    const int n = s.N;
    std::vector<Real> f(n + 2, 0), lt(n + 2, 0), rt(n + 2, 0);
    for (int k = 1; k <= n; ++k) {
        f[k] = static_cast<Real>(s.L(k)) / (static_cast<Real>(s.EI(k)) * s.EIo);
        LoadTerms(s, k, lt[k], rt[k]);
    }
    std::vector<Real> lo(n + 2, 0), di(n + 2, 0), up(n + 2, 0), rhs(n + 2, 0);
    for (int k = 1; k <= n + 1; ++k) {
        const bool pinned = (k == 1 && s.Flag0 == kFalse) || (k == n + 1 && s.FlagN == kFalse);
        if (pinned) {
            di[k] = 1;
            continue;
        }
        const Real fa = k > 1 ? f[k - 1] : 0;
        const Real fb = k <= n ? f[k] : 0;
        lo[k] = fa;
        up[k] = fb;
        di[k] = 2 * (fa + fb);
        rhs[k] = 6 * (k > 1 ? fa * rt[k - 1] : 0) + 6 * (k <= n ? fb * lt[k] : 0);
    }
    // Thomas algorithm; the system is diagonally dominant by a factor of 2.
    for (int k = 2; k <= n + 1; ++k) {
        const Real w = lo[k] / di[k - 1];
        di[k] -= w * up[k - 1];
        rhs[k] -= w * rhs[k - 1];
    }
    Reference r;
    r.moment.assign(n + 2, 0);
    r.rotation.assign(n + 2, 0);
    r.moment[n + 1] = rhs[n + 1] / di[n + 1];
    for (int k = n; k >= 1; --k) r.moment[k] = (rhs[k] - up[k] * r.moment[k + 1]) / di[k];

    // End rotations of each span from its load and its two end moments:
    // left end f (Lt - Hl/3 - Hr/6), right end (clockwise) -f (Rt - Hl/6 - Hr/3).
    for (int k = 1; k <= n; ++k) {
        const Real hl = r.moment[k], hr = r.moment[k + 1];
        r.rotation[k] = f[k] * (lt[k] - hl / 3 - hr / 6);
        const Real terms =
            std::max({std::fabs(lt[k]), std::fabs(rt[k]), std::fabs(hl), std::fabs(hr)});
        r.rotationScale = std::max(r.rotationScale, std::fabs(f[k]) * terms);
    }
    const Real hl = r.moment[n], hr = r.moment[n + 1];
    r.rotation[n + 1] = -f[n] * (rt[n] - hl / 6 - hr / 3);
    return r;
}

// Largest difference relative to the largest magnitude of the reference.
Real RelativeError(const cbeam::RealArray& got, const std::vector<Real>& want, int& worst,
                   Real scale = 0) {
    Real err = 0;
    worst = 0;
    for (int k = 1; k < static_cast<int>(want.size()); ++k)
        scale = std::max(scale, std::fabs(want[k]));
    if (scale == 0) scale = 1;
    for (int k = 1; k < static_cast<int>(want.size()); ++k) {
        const Real e = std::fabs(static_cast<Real>(got(k)) - want[k]) / scale;
        if (!(e <= err)) {  // also catches NaN
            err = e;
            worst = k;
        }
    }
    return err;
}

// A beam of n spans with lengths, rigidities and loads spread over several
// orders of magnitude; every load kind, positions including the ends.
BeamState RandomBeam(std::mt19937_64& rng, int n) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto decades = [&](double lo, double hi) { return std::pow(10.0, lo + (hi - lo) * u(rng)); };
    BeamState s;
    s.SizeAll(n);
    s.EIo = decades(-6, 6) * (u(rng) < 0.1 ? -1 : 1);
    s.Flag0 = u(rng) < 0.5 ? kTrue : kFalse;
    s.FlagN = u(rng) < 0.5 ? kTrue : kFalse;
    // Some beams keep the same span over and over, others vary every span.
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

void ExpectMatches(BeamState& s, double tolerance, const char* what) {
    const cbeam::SolveStatus status = cbeam::Analyse(s);
    ASSERT_EQ(status, cbeam::SolveStatus::Solved) << what << " N=" << s.N;
    const Reference ref = ThreeMoment(s);
    int worstM = 0, worstT = 0;
    const Real em = RelativeError(s.M, ref.moment, worstM);
    const Real et = RelativeError(s.Theta, ref.rotation, worstT, ref.rotationScale);
    EXPECT_LE(em, tolerance) << what << " N=" << s.N << " Flag0=" << s.Flag0 << " FlagN=" << s.FlagN
                             << " worst node " << worstM << ": " << s.M(worstM) << " vs "
                             << static_cast<double>(ref.moment[worstM]);
    EXPECT_LE(et, tolerance) << what << " N=" << s.N << " worst rotation at node " << worstT;
}

TEST(FullScale, SmallRandomBeamsMatchThreeMoment) {
    std::mt19937_64 rng(20261206);
    for (int trial = 0; trial < 3000; ++trial) {
        const int n = 1 + static_cast<int>(rng() % 40);
        BeamState s = RandomBeam(rng, n);
        ExpectMatches(s, 1e-11, "small");
        if (HasFailure()) return;
    }
}

TEST(FullScale, LargeRandomBeamsMatchThreeMoment) {
    std::mt19937_64 rng(7);
    const int sizes[] = {1000, 5000, 32766, 32766, 32766};
    for (int n : sizes) {
        for (int ends = 0; ends < 4 && n < 32766; ++ends) {
            BeamState s = RandomBeam(rng, n);
            s.Flag0 = ends & 1 ? kTrue : kFalse;
            s.FlagN = ends & 2 ? kTrue : kFalse;
            ExpectMatches(s, 1e-11, "large");
        }
        if (n == 32766) {
            BeamState s = RandomBeam(rng, n);
            ExpectMatches(s, 1e-11, "largest");
        }
    }
}

// Equal spans under equal full-span uniform loads, pinned at both ends:
// away from the ends every support moment tends to qL^2/12 (the fixed-end
// moment), the end disturbance dying out by a factor 2 - sqrt(3) per span.
TEST(FullScale, EqualSpansTendToInfiniteBeamMoment) {
    struct Case {
        int n;
        double l, q, ei, eio;
    };
    const Case cases[] = {{1000, 6.0, 25.0, 1.0, 1.0},
                          {1000, 0.35, 1e3, 40.0, 2e-6},
                          {32766, 6.0, 25.0, 1.0, 1.0},
                          {32766, 12.5, 0.01, 1e-3, 3e5}};
    for (const Case& c : cases) {
        BeamState s;
        s.SizeAll(c.n);
        s.EIo = c.eio;
        s.L.Fill(c.l);
        s.EI.Fill(c.ei);
        s.LoadType.Fill(1);
        s.Q.Fill(c.q);
        s.A.Fill(1.0);
        s.Flag0 = s.FlagN = kFalse;
        ASSERT_EQ(cbeam::Analyse(s), cbeam::SolveStatus::Solved);
        const double limit = c.q * c.l * c.l / 12;
        EXPECT_EQ(s.M(1), 0.0);
        EXPECT_EQ(s.M(c.n + 1), 0.0);
        double worst = 0;
        int at = 0;
        for (int k = 40; k <= c.n + 1 - 39; ++k) {
            const double e = std::fabs(s.M(k) - limit) / limit;
            if (!(e <= worst)) worst = e, at = k;
        }
        EXPECT_LE(worst, 1e-12) << "N=" << c.n << " node " << at << ": " << s.M(at) << " vs "
                                << limit;
        // Near the ends the semi-infinite beam's closed form holds:
        // H(k) = qL^2/12 (1 - r^(k-1)), r = sqrt(3) - 2.
        const double r = std::sqrt(3.0) - 2;
        for (int k = 1; k <= 20; ++k) {
            const double h = limit * (1 - std::pow(r, k - 1));
            EXPECT_NEAR(s.M(k), h, 1e-12 * limit) << "N=" << c.n << " node " << k;
            EXPECT_NEAR(s.M(c.n + 2 - k), h, 1e-12 * limit) << "N=" << c.n << " node " << k;
        }
    }
}

}  // namespace
