#pragma once

#include <span>
#include <vector>

#include "analysis/engine.h"
#include "model/structure.h"

// The worst arrangement of the loads under a combination: for each quantity
// E at a section, Emax = Σ max(γ·e, γf·e) and Emin = Σ min(γ·e, γf·e) over the
// load groups, e the group's effect at factor 1. The groups act apart, so
// this is exactly the largest and the smallest value over every arrangement.
//
// Each group is solved once on the engine's factorisation (O(N) each), which
// holds for every kind of support.
namespace cbeam::analysis {

// One load group: a patterned case's loads on one span, an unpatterned
// case's span loads, or one settlement.
struct LoadGroup {
    std::size_t caseIndex = 0;
    int span = 0;  // the span of a patterned case's group; 0 otherwise
    int node = 0;  // the node of a settlement's group; 0 otherwise
    double gamma = 0, gammaF = 0;
    CaseLoads loads;
};

// The groups of a beam's cases with the factors `combination` gives them (a
// case it does not name: 0 and 0); groups without loads are left out.
std::vector<LoadGroup> GroupsOf(const Beam& beam, const Combination& combination);

struct Extremes {
    double max = 0, min = 0;
};

// A quantity at one section, by group at factor 1.
enum class Quantity { Moment, Shear, Deflection };

class Envelope {
  public:
    // Solves every group of the beam under the combination; the engine must
    // be built for the same beam and outlive the envelope.
    void Build(const Engine& engine, const Beam& beam, const Combination& combination);

    std::span<const LoadGroup> Groups() const { return m_groups; }
    // Each group's effect at the sections `xs` of span k, group by group
    // (effects[g * xs.size() + i]).
    void Effects(int span, Quantity q, std::span<const double> xs, Side side,
                 std::vector<double>& effects) const;
    // The envelope of M, V or w at the sections `xs` of span k.
    std::vector<Extremes> Along(int span, Quantity q, std::span<const double> xs,
                                Side side = Side::Right) const;
    Extremes Reaction(int node) const;
    // The groups that take γ (rather than γf) in the arrangement of an
    // extreme, given the groups' effects at its section.
    std::vector<std::size_t> Arrangement(std::span<const double> effects, bool max) const;

  private:
    const Engine* m_engine = nullptr;
    std::vector<LoadGroup> m_groups;
    std::vector<CaseResult> m_results;
};

}  // namespace cbeam::analysis
