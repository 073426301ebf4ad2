#pragma once

#include <array>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "analysis/engine.h"
#include "model/structure.h"

// The worst arrangement of the loads under a combination: for each quantity
// E at a section, Emax = Σ max(γ·e, γf·e) and Emin = Σ min(γ·e, γf·e) over the
// load groups, e the group's effect at factor 1. The groups act apart, so
// this is exactly the largest and the smallest value over every arrangement.
//
// On rigid supports a span's group moves the rest of the beam only through
// the rotations of its two ends, and these fall off node by node in fixed
// ratios of alternating sign; so the groups beyond each node are summed, for
// both extremes at once, in one sweep from each end (O(N) for the whole
// beam), and a span sees them as two curves with a pair of factors each.
// Springs break the fixed ratios: there each group is solved on the
// engine's factorisation (O(N) each).
namespace cbeam::analysis {

// Spans first, first + step, … last (step 1 or 2).
struct SpanRun {
    int first = 0, last = 0, step = 1;
};

// One load group: a patterned case's loads on one span, an unpatterned
// case's span loads, or one settlement.
struct LoadGroup {
    std::size_t caseIndex = 0;
    int span = 0;  // the span of a patterned case's group; 0 otherwise
    int node = 0;  // the node of a settlement's group; 0 otherwise
    double gamma = 0, gammaF = 0;
    // A swept span group's: its span's loads alone (`loads` only). Shared:
    // the envelope of another combination copies the groups, not the loads.
    std::shared_ptr<const CaseLoads> loads;
    const CaseLoads& Loads() const { return *loads; }
    std::span<const Load> SpanLoads() const {
        return Loads().first.empty() ? std::span<const Load>(Loads().loads) : Loads().OnSpan(span);
    }
};

// The groups of a beam's cases with the factors `combination` gives them (a
// case it does not name: 0 and 0); groups without loads are left out.
// `compact`: the span groups hold their span's loads alone.
std::vector<LoadGroup> GroupsOf(const Beam& beam, const Combination& combination,
                                bool compact = false);

struct Extremes {
    double max = 0, min = 0;
};

// The extreme of an envelope along a span: its value and the leftmost x
// where it is reached, with the side there (a jump of M at a couple).
struct EnvelopeAt {
    double value = 0, x = 0;
    Side side = Side::Right;
};

// The design values of one span under a combination, exact: the extremes of
// a piecewise polynomial are at its breaks or at the roots of its derivative.
struct SpanEnvelope {
    EnvelopeAt Mmax, Mmin;  // the largest hogging (max) and sagging (min) moment
    Extremes Vl, Vr;        // V just right of the left support, just left of the right
    EnvelopeAt wmax, wmin;  // the largest downward (max) and upward (min) deflection
};

// A quantity at one section, by group at factor 1.
enum class Quantity { Moment, Shear, Deflection };

// Whether Build stays within a desktop's memory. With a spring support the
// groups of the patterned cases are solved one by one, each result as long
// as the beam: a long beam's would fill the memory many times over, so it
// is refused (EnvelopeTooLarge) before anything is allocated.
Status CheckEnvelopeSize(const Beam& beam);

class Envelope {
  public:
    // Solves every group of the beam under the combination; the engine must
    // be built for the same beam and outlive the envelope.
    void Build(const Engine& engine, const Beam& beam, const Combination& combination);
    // The same beam under another combination, as Build gives it: the groups
    // and their solutions are those of `built` (built for this very beam),
    // only the factors and the sums over them are made again. The groups do
    // not depend on the factors, so a second combination costs a fraction
    // of the first.
    void Rebuild(const Envelope& built, const Beam& beam, const Combination& combination);

    std::span<const LoadGroup> Groups() const { return m_groups; }
    // Whether the beam's supports are all rigid, so that the groups of the
    // patterned cases are summed by the sweeps rather than solved one by one.
    bool Swept() const { return m_swept; }
    // Each group's effect at the sections `xs` of span k, group by group
    // (effects[g * xs.size() + i]).
    void Effects(int span, Quantity q, std::span<const double> xs, Side side,
                 std::vector<double>& effects) const;
    // The envelope of M, V or w at the sections `xs` of span k.
    std::vector<Extremes> Along(int span, Quantity q, std::span<const double> xs,
                                Side side = Side::Right) const;
    Extremes Reaction(int node) const;
    // The design values of span k (1..N).
    SpanEnvelope Design(int span) const;
    // Where the effects on span k have their extremes: the envelope's own,
    // each group's loaded on the span and, on rigid supports, the two shapes
    // the groups beyond the span share; ascending, repeats kept.
    std::vector<double> GroupExtremes(int span) const;
    // The groups that take γ (rather than γf) in the arrangement of the
    // largest (max) or smallest value of q at x of span k, or of node j's
    // reaction; ascending.
    std::vector<std::size_t> ArrangementAt(int span, Quantity q, double x, Side side,
                                           bool max) const;
    std::vector<std::size_t> ReactionArrangement(int node, bool max) const;
    // The same arrangements as the spans where each case takes γ, case by
    // case, as SpanRanges writes them; on rigid supports in time by the runs
    // of spans, not by the groups.
    std::vector<std::string> LoadedAt(int span, Quantity q, double x, Side side, bool max) const;
    std::vector<std::string> LoadedForReaction(int node, bool max) const;
    // The groups that take γ in the arrangement of an extreme, given the
    // groups' effects at its section (or only their signs).
    std::vector<std::size_t> Arrangement(std::span<const double> effects, bool max) const;

  private:
    // A curve acting on a span with the larger and the smaller of its two
    // factors: a group's own, or the sum of the groups beyond one end.
    struct Term {
        SpanCurve curve;
        double hi = 0, lo = 0;
        // Whose extremes are worth a station: not each of the many groups
        // elsewhere on a beam on springs, whose shapes on the span all differ.
        bool shown = true;
    };
    const std::vector<Term>& Terms(int span) const;
    double Value(const SpanCurve& c, Quantity q, double x, Side side) const;
    // The extremes of M or w along span k, whose terms are built.
    void ExtremesAlong(int span, Quantity q, EnvelopeAt& hi, EnvelopeAt& lo) const;

    // The sweeps over the rigid supports.
    void Sweep(const Beam& beam);
    // The part of the sweeps that the factors enter: the sums from each end.
    void SweepSums();
    SpanEnds DirectionEnds(int span, double left, double right) const;
    void Direction(int span, double left, double right, SpanCurve& out) const;
    void Own(std::size_t g, SpanCurve& out) const;
    SpanEnds OwnEnds(std::size_t g) const;
    // Each group's effect at x of span k or on node j's reaction, those of
    // the swept groups beyond the span by sign only when `signs`.
    void SweptEffects(int span, Quantity q, double x, Side side, bool signs,
                      std::vector<double>& out) const;
    void SweptReactions(int node, bool signs, std::vector<double>& out) const;
    Extremes SweptReaction(int node) const;
    double OwnReaction(std::size_t g, int node) const;
    std::array<double, 2> UnitReactions(int node) const;
    void Beyond(std::size_t leftNode, double leftUnit, std::size_t rightNode, double rightUnit,
                bool signs, std::vector<double>& out) const;

    const Engine* m_engine = nullptr;
    std::vector<LoadGroup> m_groups;
    std::vector<std::size_t> m_whole;  // the groups solved whole (all, without the sweeps)
    // Theirs, in that order; shared with the envelopes made from this one.
    std::shared_ptr<const std::vector<CaseResult>> m_results =
        std::make_shared<const std::vector<CaseResult>>();
    bool m_swept = false;
    std::vector<SupportKind> m_kind;                // by node
    std::vector<double> m_l, m_ei;                  // by span
    std::vector<double> m_toLeft, m_toRight;        // by node: θ(j-1)/θ(j), θ(j+1)/θ(j)
    std::vector<std::array<double, 2>> m_end;       // by group: the rotations its span's ends take
    std::vector<SpanEnds> m_ownEnds;                // by group: what its span's supports give it
    std::vector<Extremes> m_fromLeft, m_fromRight;  // by node
    std::vector<std::size_t> m_spanFirst, m_spanGroups;  // the swept groups by span
    // By case: its factors, its spans with loads, and the runs of the
    // spans whose group turns the node right of it (side 0) or left of it
    // (side 1) one way or the other, counted from node 0 alternately.
    struct CaseRuns {
        double gamma = 0, gammaF = 0;
        std::vector<SpanRun> loaded;
        std::vector<SpanRun> turning[2][2];
    };
    std::vector<CaseRuns> m_cases;
    std::vector<int> m_heldBefore, m_heldAfter;  // by node: the nearest held one
    void Runs(const Beam& beam);
    // The groups whose effects are given one by one, then those beyond the
    // nodes by what turning each by 1 gives.
    std::vector<std::string> Loaded(std::span<const std::pair<std::size_t, double>> near,
                                    int leftNode, double leftUnit, int rightNode, double rightUnit,
                                    bool max) const;
    mutable int m_termsSpan = 0;
    mutable std::vector<Term> m_terms;
    mutable std::vector<double> m_zero, m_theta;
};

// The spans of case `caseIndex` that are loaded in an arrangement (groups
// as ArrangementAt gives them), ascending: the groups of a patterned case
// are its spans; an unpatterned case's group counts as all its spans.
std::vector<int> LoadedSpans(std::span<const LoadGroup> groups,
                             std::span<const std::size_t> arrangement, std::size_t caseIndex);
// Spans as a short list: "1,3,5-7", every other span of a run as
// "2-10/2" (2, 4, … 10); empty for none.
std::string SpanRanges(std::span<const int> spans);
// The same of spans given in ascending runs, in time by the runs.
std::string SpanRanges(std::span<const SpanRun> runs);

}  // namespace cbeam::analysis
