#pragma once

#include <array>
#include <span>
#include <vector>

#include "analysis/band.h"
#include "analysis/span_curve.h"
#include "model/structure.h"
#include "text/status.h"

// The exact analysis of the general beam by the displacement method: each
// node's deflection and rotation are unknowns unless a support holds them,
// the stiffness matrix (a band of width 3) is factored once, and any number
// of load vectors are solved with it: a case, a span's share of a case (a
// load group of the envelopes), a unit load (an influence line).
//
// Internally in true units: kN, m, kN·m² (EIo·10^6), rad.
namespace cbeam::analysis {

// A case's loads arranged for the engine: by span, and the settlements by node.
struct CaseLoads {
    std::vector<std::size_t> first;  // N + 1: the loads of span k are [first[k-1], first[k])
    std::vector<Load> loads;
    std::vector<double> settlement;  // N + 1 nodes, m downward
    std::span<const Load> OnSpan(int k) const {
        return std::span<const Load>(loads).subspan(
            first[static_cast<std::size_t>(k - 1)],
            first[static_cast<std::size_t>(k)] - first[static_cast<std::size_t>(k - 1)]);
    }
};
CaseLoads GroupLoads(int spans, const LoadCase& lc);

// What the supports give each span at its ends.
struct SpanEnds {
    double Ml = 0, Mr = 0;  // kN·m, hogging positive
    double Vl = 0, Vr = 0;  // kN, V = -dM/dx
};

struct CaseResult {
    std::vector<double> w;      // N + 1 node deflections, mm downward
    std::vector<double> theta;  // N + 1 node rotations, rad clockwise
    std::vector<double>
        M;  // N + 1 node moments: from the span right of the node, the last from span N
    std::vector<double> R;       // N + 1 reactions, kN upward; 0 at a free end
    std::vector<SpanEnds> ends;  // N spans
};

class Engine {
  public:
    // Validates the beam, numbers the unknowns and factors the stiffness:
    // the status of Validate, or NearlyMechanism.
    Status Build(const Beam& beam);

    int Spans() const { return static_cast<int>(m_spans.size()); }
    int Unknowns() const { return m_band.Order(); }

    // Right-hand sides, in the unknowns' order (zeros of Unknowns() to start).
    std::vector<double> NewLoadVector() const {
        return std::vector<double>(static_cast<std::size_t>(Unknowns()));
    }
    void AddSpanLoads(int span, std::span<const Load> loads, double factor,
                      std::span<double> rhs) const;
    // Settlements (m, by node 1..N+1 at [0..N]) as the loads they put on the spans.
    void AddSettlements(std::span<const double> settlement, double factor,
                        std::span<double> rhs) const;
    // The unknowns of span k's end motions (w_l, θ_l, w_r, θ_r), -1 where held.
    std::array<int, 4> SpanUnknowns(int span) const {
        return m_spans[static_cast<std::size_t>(span - 1)].dof;
    }
    // rhs := the unknowns' values.
    void Solve(std::span<double> rhs) const { m_band.Solve(rhs); }

    // Node deflections (m) and rotations from a solution and the settlements
    // it was made with (empty: none).
    void NodeMotion(std::span<const double> solution, std::span<const double> settlement,
                    std::vector<double>& w, std::vector<double>& theta) const;
    SpanEnds EndsOf(int span, std::span<const double> w, std::span<const double> theta,
                    std::span<const Load> loads, double factor = 1) const;

    // A whole case: load vector, solution, end forces, node values.
    CaseResult Analyse(const CaseLoads& loads) const;
    // The curve of span k of a case analysed.
    void Curve(int span, const CaseResult& result, const CaseLoads& loads, SpanCurve& out) const;
    // The design values of every span of a case analysed.
    std::vector<SpanDesign> Design(const CaseResult& result, const CaseLoads& loads) const;

    // The clamped-end loads of a span as the nodal loads (down, clockwise) they equal.
    static std::array<double, 4> Equivalent(double l, std::span<const Load> loads);

  private:
    struct SpanData {
        double L = 1, EI = 1;
        std::array<int, 4> dof{};  // w_l, theta_l, w_r, theta_r; -1 where held
    };
    SpanEnds EndsFrom(int span, std::span<const double> w, std::span<const double> theta,
                      const std::array<double, 4>& eq, std::span<const Load> loads,
                      double factor) const;
    static std::array<double, 4> Stiffness(const SpanData& s, const std::array<double, 4>& d);

    std::vector<SpanData> m_spans;
    std::vector<Support> m_supports;
    std::vector<int> m_wdof, m_tdof;  // by node; -1 where the support holds it
    BandLdl m_band;
};

}  // namespace cbeam::analysis
