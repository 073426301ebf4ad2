#pragma once

#include <vector>

#include "model/beam.h"

// Design values of a solved beam (after Analyse): support reactions, member-end
// shears, the largest sagging moment and the largest deflection of every span,
// and the moment, shear and deflection anywhere along a span.
//
// Signs: M hogging positive as in BeamState::M; V = -dM/dx (clockwise
// positive, +qL/2 at the left end of a loaded simple span); reactions upward
// positive; deflection downward positive; slope clockwise positive like Theta.
// Units: kN, kN·m, m along the span, deflection in mm, slope in radians.
namespace cbeam {

struct SpanValues {
    double Vl = 0;     // shear at the left end, kN; a point load at x = 0 belongs to it
    double Vr = 0;     // shear at the right end, kN; a point load at x = L belongs to it
    double Msag = 0;   // smallest M on the span (negative where it sags), kN·m
    double xMsag = 0;  // leftmost position of Msag from the span's left node, m
    double w = 0;      // deflection of largest magnitude, signed, mm
    double xw = 0;     // leftmost position of w, m
};

struct DesignValues {
    std::vector<double> R;          // N+1 node reactions, kN; node 1 at [0]
    std::vector<SpanValues> spans;  // N spans; span 1 at [0]
};

// The closed form of one span of a solved beam: M piecewise quadratic and w
// piecewise quartic in x (m from the span's left node, 0 <= x <= L). Cheap to
// build, so a diagram can make one per span and sample it.
class SpanCurve {
  public:
    SpanCurve(const BeamState& solved, int span);

    double Moment(double x) const;
    double Shear(double x) const;  // at a point load: the value just right of it, but
                                   // at x = 0 and x = L the end shears Vl and Vr
    double Deflection(double x) const;
    double Slope(double x) const;
    SpanValues Values() const;

  private:
    // One stretch where M is a single polynomial, in t = x / L:
    // M = m0 + m1 t + m2 t^2, and L^2/EI times the deflection in m is
    // m0 t^2/2 + m1 t^3/6 + m2 t^4/12 + f t + g (plus the chord term m_chord t).
    struct Piece {
        double m0 = 0, m1 = 0, m2 = 0, f = 0, g = 0;
    };
    const Piece& PieceAt(double t) const { return t <= m_tb ? m_left : m_right; }
    double Bending(double t) const;  // the polynomial above, chord term included
    double BendingSlope(const Piece& p, double t) const;

    double m_l = 0;
    double m_ml = 0, m_mr = 0;  // node moments at the two ends
    double m_q = 0;             // uniform intensity; 0 for a point load or none
    double m_xb = 0;            // x of the load's end or of the point load
    double m_tb = 1;            // the same as a fraction of L
    double m_rl = 0, m_rr = 0;  // reactions of the load on the span as simply supported
    double m_chord = 0;         // brings the deflection back to zero at the right support
    double m_mm = 0;            // mm of deflection per unit of Bending()
    double m_rad = 0;           // radians of slope per unit of BendingSlope()
    Piece m_left, m_right;
};

DesignValues ComputeDesignValues(const BeamState& solved);

// One value at x on span (1..N), for occasional use; sampling a whole span is
// cheaper through one SpanCurve.
double MomentAt(const BeamState& solved, int span, double x);
double ShearAt(const BeamState& solved, int span, double x);
double DeflectionAt(const BeamState& solved, int span, double x);
double SlopeAt(const BeamState& solved, int span, double x);

}  // namespace cbeam
