#pragma once

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "model/beam.h"
#include "text/status.h"

// The general beam: any number of loads of five kinds per span, in load
// cases, on pinned, fixed, spring or free supports. It only describes the
// beam; the analysis (src/analysis) works on it without changing it.
//
// Units and signs: lengths and positions in m, x from the span's left node
// (for a left cantilever that is its free tip); EI a multiple of EIo, which
// is in 10^6 kN·m²; loads downward positive in kN/m and kN, concentrated
// moments clockwise positive in kN·m, settlements downward positive in mm;
// spring stiffnesses in kN/m and kN·m/rad.
namespace cbeam {

struct Span {
    double L = 1;   // m, > 0
    double EI = 1;  // multiple of EIo, > 0
};

enum class SupportKind { Pinned, Fixed, Spring, Free };

struct Support {
    SupportKind kind = SupportKind::Pinned;
    double k = 0;   // kN/m, > 0 for a spring
    double kr = 0;  // kN·m/rad, >= 0 for a spring (0: free to rotate)

    static Support Spring(double k, double kr = 0) { return {SupportKind::Spring, k, kr}; }
    bool HoldsDeflection() const {
        return kind == SupportKind::Pinned || kind == SupportKind::Fixed;
    }
};

struct Load {
    enum class Kind { Uniform, Linear, Point, Moment, Settlement };
    Kind kind = Kind::Uniform;
    int span = 0;  // 1..N; for a settlement: 0
    int node = 0;  // 1..N+1 for a settlement; otherwise 0
    // Uniform: q1 = q over [x1, x2]. Linear: q1 at x1 to q2 at x2. Point: q1 = P
    // at x1. Moment: q1 = M at x1. Settlement: q1 = d.
    double q1 = 0, q2 = 0;
    double x1 = 0, x2 = 0;
    // The position as the fraction of L it came with from a design beam
    // (uniform: the loaded length, point: the position); NaN otherwise. The
    // design beam keeps fractions, and L·a rounds, so only this gives back
    // the very fraction as long as x1/x2 is still L·a.
    double a = std::numeric_limits<double>::quiet_NaN();

    static Load Uniform(int span, double q, double x1, double x2) {
        return {Kind::Uniform, span, 0, q, q, x1, x2};
    }
    static Load Linear(int span, double q1, double q2, double x1, double x2) {
        return {Kind::Linear, span, 0, q1, q2, x1, x2};
    }
    static Load Point(int span, double P, double x) { return {Kind::Point, span, 0, P, 0, x, x}; }
    static Load Moment(int span, double M, double x) { return {Kind::Moment, span, 0, M, 0, x, x}; }
    static Load Settlement(int node, double d) { return {Kind::Settlement, 0, node, d, 0, 0, 0}; }
    bool Distributed() const { return kind == Kind::Uniform || kind == Kind::Linear; }
    // The intensity at x of a distributed load (inside [x1, x2]).
    double Intensity(double x) const {
        if (kind == Kind::Uniform || x2 == x1) return q1;
        return q1 + (q2 - q1) * ((x - x1) / (x2 - x1));
    }
};

enum class CaseKind { Permanent, Variable };

struct LoadCase {
    std::string name;
    CaseKind kind = CaseKind::Permanent;
    // Whether the case acts span by span in the worst arrangement; unset: a
    // variable case does, a permanent one does not.
    std::optional<bool> pattern;
    // The quasi-permanent factor ψq of a variable case; unset: 0.4.
    std::optional<double> psiQ;
    std::vector<Load> loads;

    bool Patterned() const { return pattern.value_or(kind == CaseKind::Variable); }
    double PsiQ() const { return psiQ.value_or(0.4); }
};

// The factors of one load case in a combination: γ where the case's effect
// is unfavourable, γf where it is favourable.
struct CaseFactors {
    std::string caseName;
    double gamma = 1, gammaF = 1;
    bool operator==(const CaseFactors&) const = default;
};

// A load combination; a case it does not name takes no part (0 and 0).
struct Combination {
    std::string name;
    std::vector<CaseFactors> factors;  // in the beam's case order
    bool operator==(const Combination&) const = default;
};

// A train of point loads that may stand anywhere on the beam: its axle loads
// (kN, downward) from the first, the distances between neighbours (m, one
// fewer) and a uniform lane load (kN/m) laid wherever it makes an effect
// worse.
struct MovingLoad {
    std::string name;
    std::vector<double> loads, spacing;
    double lane = 0;
    bool operator==(const MovingLoad&) const = default;
};

struct Beam {
    double EIo = 1;                 // 10^6 kN·m², > 0
    std::vector<Span> spans;        // 1..N at [0..N-1]
    std::vector<Support> supports;  // N+1 nodes at [0..N]
    std::vector<LoadCase> cases;
    // As given; empty: the default ones (CombinationsOf).
    std::vector<Combination> combinations;
    std::vector<MovingLoad> moving;

    int N() const { return static_cast<int>(spans.size()); }
    // The true rigidity of span k (1..N) in kN·m².
    double Rigidity(int k) const { return spans[static_cast<std::size_t>(k - 1)].EI * EIo * 1e6; }
    const Span& SpanAt(int k) const { return spans[static_cast<std::size_t>(k - 1)]; }
    const Support& SupportAt(int node) const {
        return supports[static_cast<std::size_t>(node - 1)];
    }
};

// Everything the analysis relies on: counts, values in range, free ends only
// at the two ends, loads inside their spans, settlements only of pinned or
// fixed supports, and supports that hold the beam (no mechanism).
Status Validate(const Beam& beam);
// The part of Validate on the combinations: names given once, each naming
// cases of the beam, each case once, factors from 0 to 100.
Status ValidateCombinations(const Beam& beam);

// The beam's combinations, or when it gives none and has a variable case
// the code's three: 基本组合 (permanent [1.3, 1.0], variable [1.5, 0]),
// 标准组合 ([1.0, 1.0], [1.0, 0]) and 准永久组合 ([1.0, 1.0], [ψq, 0]).
// The part of Validate on the moving loads: names given once, 1 to 100
// axles, one spacing fewer, spacings and the lane load not negative, every
// value finite and within the load bound.
Status ValidateMoving(const Beam& beam);

std::vector<Combination> CombinationsOf(const Beam& beam);

// Whether the supports leave the beam free to move as a rigid body: nothing
// holds its deflection, or one support holds it and none its rotation.
bool IsMechanism(const Beam& beam);

// The design's beam as a general beam: one permanent case "G", at most one
// load per span (uniform over [0, a·L] or point at a·L), interior supports
// pinned, the ends as Flag0 and FlagN. Refuses what the general beam
// cannot be: a rigidity that is not positive.
Status FromDesignBeam(const DesignBeam& s, Beam& out);

// The way back, for a beam the design's state can hold; refuses, naming
// what it cannot hold, anything else. Sizes and fills the input fields of
// `out` as the file loader does; the analysis arrays are zero.
Status ToDesignState(const Beam& beam, DesignState& out);

}  // namespace cbeam
