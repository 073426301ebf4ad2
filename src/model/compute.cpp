#include "model/compute.h"

#include <cmath>
#include <memory>

namespace cbeam {

void CalcStiffness(const DesignBeam& s, BandMatrix& K, RealArray& LineStiff, const double& EIo,
                   const RealArray& EI, const RealArray& L) {
    const int n = s.N;
    for (int k = 1; k <= n; ++k) LineStiff(k) = EI(k) * EIo / L(k);
    K.At(1, 1) = 4 * LineStiff(1);
    K.At(1, 2) = 2 * LineStiff(1);
    K.At(2, 1) = 2 * LineStiff(1);
    for (int k = 2; k <= n; ++k) {
        K.At(k, k) = (LineStiff(k - 1) + LineStiff(k)) * 4;
        K.At(k, k + 1) = 2 * LineStiff(k);
        K.At(k + 1, k) = 2 * LineStiff(k);
    }
    K.At(n + 1, n + 1) = 4 * LineStiff(n);
}

void CalcLoads(DesignState& s, RealArray& NodeLoad, const RealArray& L, const IntArray& LoadType,
               const RealArray& Q, const RealArray& A) {
    const int n = s.N;
    for (int k = 1; k <= n; ++k) {
        const double a = A(k);
        const double l = L(k);
        const double q = Q(k);
        switch (LoadType(k)) {
            case 1: {
                const double t = 3 * std::pow(a, 2) + (6 - 8 * a);
                s.FemL(k) = t * (std::pow(l, 2) * (std::pow(a, 2) * (q * -1))) / 12;
                // a * a * a rather than pow(a, 3): the library call was a fifth of
                // the whole analysis, and the results agree to the last bit or two.
                s.FemR(k) = std::pow(l, 2) * (a * a * a * q) * (4 - 3 * a) / 12;
                break;
            }
            case 2:
                s.FemL(k) = std::pow(1 - a, 2) * (q * -1 * l * a);
                s.FemR(k) = std::pow(a, 2) * (l * q) * (1 - a);
                break;
            default:
                s.FemL(k) = 0;
                s.FemR(k) = 0;
                break;
        }
    }
    NodeLoad(1) = s.FemL(1) * -1;
    for (int k = 2; k <= n; ++k) NodeLoad(k) = (s.FemR(k - 1) + s.FemL(k)) * -1;
    NodeLoad(n + 1) = s.FemR(n) * -1;
}

Status SolveEquations(const DesignBeam& s, RealArray& Theta, BandMatrix& K,
                      const RealArray& NodeLoad) {
    // Off the band K is zero on both sides, so only the stored pairs can differ.
    // Identical NaNs count as equal here; the solver refuses them.
    const int order = s.N + 1;
    for (int i = 1; i < order; ++i) {
        const double up = K(i, i + 1);
        const double low = K(i + 1, i);
        if (up != low && !(std::isnan(up) && std::isnan(low))) return Status{Code::NotSymmetric};
    }
    return SolveTridiagonal(s, Theta, K, NodeLoad);
}

Status SolveTridiagonal(const DesignBeam& s, RealArray& Theta, BandMatrix& K,
                        const RealArray& NodeLoad) {
    const int n = s.N;
    int f = 1;
    int g = n + 1;
    if (s.Flag0 != kFalse) {
        K.At(1, 1) = 1;
        K.At(1, 2) = 0;
        K.At(2, 1) = 0;
        f = 2;
    }
    if (s.FlagN != kFalse) {
        K.At(n + 1, n + 1) = 1;
        K.At(n + 1, n) = 0;
        K.At(n, n + 1) = 0;
        g = n;
    }
    // Only rows f..g are solved; the rotation of a clamped end is zero, so its
    // coupling terms drop out, and the entries overwritten above are never read.
    // Elimination without pivoting is stable here: the system is symmetric
    // and, for a physical beam, positive definite. (A sweep that expresses
    // every rotation through the first one amplifies rounding by about 3.7
    // per span and is useless beyond a few tens of spans.)
    const auto size = static_cast<std::size_t>(n) + 2;
    const std::unique_ptr<double[]> c(new double[size]);  // K(k,k+1) / pivot(k), rows f..g
    // Theta holds the eliminated right-hand side, then the rotations.
    Theta(1) = 0.0;  // the rotations of clamped ends, outside f..g
    Theta(n + 1) = 0.0;
    for (int k = f; k <= g; ++k) {
        double pivot = K.Diagonal(k);
        double r = NodeLoad(k);
        if (k > f) {
            pivot -= K.Lower(k) * c[k - 1];
            r -= K.Lower(k) * Theta(k - 1);
        }
        if (pivot == 0.0 || !std::isfinite(pivot)) return Status{Code::NotSolvable};
        c[k] = k < g ? K.Upper(k) / pivot : 0.0;
        Theta(k) = r / pivot;
    }
    for (int k = g - 1; k >= f; --k) Theta(k) -= c[k] * Theta(k + 1);
    for (int k = f; k <= g; ++k) {
        if (!std::isfinite(Theta(k))) return Status{Code::NotSolvable};
    }
    return {};
}

namespace {

// Moment at node k: from the left end of span k, at the right outer end from
// the right end of span N; a pinned outer end carries none.
double NodeMoment(const DesignState& s, int k, const RealArray& LineStiff, const RealArray& Theta,
                  const RealArray& NodeLoad) {
    const int n = s.N;
    if (k == 1) return s.Flag0 != kFalse ? LineStiff(1) * -2 * Theta(2) + NodeLoad(1) : 0;
    if (k == n + 1)
        return s.FlagN != kFalse ? LineStiff(n) * 2 * Theta(n) + NodeLoad(n + 1) * -1 : 0;
    return s.FemL(k) * -1 - (LineStiff(k) * 2 * Theta(k + 1) + LineStiff(k) * 4 * Theta(k));
}

}  // namespace

void CalcMoments(const DesignState& s, RealArray& M, const RealArray& LineStiff,
                 const RealArray& Theta, const RealArray& NodeLoad) {
    for (int k = 1; k <= s.N + 1; ++k) M(k) = NodeMoment(s, k, LineStiff, Theta, NodeLoad);
}

int FirstUndefinedSpan(const DesignBeam& s) {
    for (int k = 1; k <= s.N; ++k) {
        if (s.EI(k) == 0) return k;
    }
    return 0;
}

}  // namespace cbeam
