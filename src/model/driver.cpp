#include "model/driver.h"

#include <cmath>
#include <utility>

#include "model/bounds.h"
#include "model/compute.h"
#include "text/format.h"
#include "text/number.h"

namespace cbeam {
namespace {

bool AllFinite(const RealArray& values) {
    for (int k = 1; k <= values.Count(); ++k) {
        if (!std::isfinite(values(k))) return false;
    }
    return true;
}

// The four steps on the state's own arrays. The rotations and moments go to
// arrays of their own and are checked before anything is stored, so that a
// failure leaves the last good results in place.
Status Solve(DesignState& s) {
    CalcStiffness(s, s.K, s.LineStiff, s.EIo, s.EI, s.L);
    CalcLoads(s, s.NodeLoad, s.L, s.LoadType, s.Q, s.A);
    RealArray theta;
    theta.Size(s.N + 1);
    Status solved = SolveEquations(s, theta, s.K, s.NodeLoad);
    if (solved.code == Code::NotSymmetric) {
        // The moments then follow from the rotations of the last solution.
        RealArray m = s.M;
        CalcMoments(s, m, s.LineStiff, s.Theta, s.NodeLoad);
        if (AllFinite(m)) s.M = std::move(m);
        return solved;
    }
    if (!solved) return solved;
    RealArray m;
    m.Size(s.N + 1);
    CalcMoments(s, m, s.LineStiff, theta, s.NodeLoad);
    if (!AllFinite(m)) return Status{Code::NotSolvable};
    std::swap(s.Theta, theta);
    std::swap(s.M, m);
    return {};
}

}  // namespace

Analysis RunAnalysis(DesignState& s) {
    Analysis out;
    if (const int k = FirstUndefinedSpan(s); k != 0) {
        out.status = Status{Code::UndefinedSpan, k};
    } else if (Status why = CheckBeamValues(s); !why) {
        out.status = std::move(why);
    } else {
        out.status = Solve(s);
    }
    s.Results = out.status;
    if (HasMoments(out.status)) {
        out.moments.reserve(static_cast<std::size_t>(s.N) + 1);
        for (int k = 1; k <= s.N + 1; ++k) out.moments.push_back(s.M(k));
    }
    return out;
}

std::string ResultLine(int node, double moment) {
    return "结点" + SignNumberText(node) + ":" + Format(moment, "####0.000###");
}

std::vector<std::string> ResultLines(const DesignState& s) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(s.N) + 1);
    for (int k = 1; k <= s.N + 1; ++k) lines.push_back(ResultLine(k, s.M(k)));
    return lines;
}

}  // namespace cbeam
