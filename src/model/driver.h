#pragma once

#include <string>
#include <vector>

#include "model/beam.h"
#include "text/status.h"

namespace cbeam {

// What one run of the analysis gives its caller.
struct Analysis {
    // Ok; UndefinedSpan (span), a value beyond what a beam can be
    // (CheckBeamValues) or NotSolvable, with M and Theta as they were;
    // NotSymmetric, with the moments of the last rotations.
    Status status;
    // The node moments the results list shows, node 1 first; empty when the
    // analysis was refused. A list of a long beam makes its lines
    // (ResultLine) as they are shown, a screenful at a time.
    std::vector<double> moments;
};

// The analysis driver, the only way into the analysis for every window and
// command: refuses a beam with an undefined span, then one with a value
// beyond the bounds of model/bounds.h (so that every result is finite), then runs CalcStiffness,
// CalcLoads, SolveEquations and CalcMoments with the end conditions Flag0
// and FlagN as the state holds them. Records the outcome in s.Results, so
// that results left from an earlier beam are never taken for this one's.
Analysis RunAnalysis(DesignState& s);

// Whether the state's moments belong to its beam as it is: analysed, or
// only not symmetric (the moments shown with the warning).
inline bool HasMoments(const Status& results) {
    return results || results.code == Code::NotSymmetric;
}

// One line of the results list: "结点 1:13.333333".
std::string ResultLine(int node, double moment);
// The results list of the moments the state holds.
std::vector<std::string> ResultLines(const DesignState& s);

}  // namespace cbeam
