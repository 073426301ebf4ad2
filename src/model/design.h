#pragma once

#include <vector>

#include "model/beam.h"

// Design values of a solved beam (after Analyse): support reactions, member-end
// shears, the largest sagging moment and the largest deflection of every span,
// and the moment, shear and deflection anywhere along a span.
//
// Signs: M hogging positive as in DesignState::M; V = -dM/dx (clockwise
// positive, +qL/2 at the left end of a loaded simple span); reactions upward
// positive; deflection downward positive; slope clockwise positive like Theta.
// Units: kN, kN·m, m along the span, deflection in mm, slope in radians.
namespace cbeam {

// kN·m² in one unit of EIo. The analysis takes EIo as the number entered,
// so its rotations Theta are radians times this.
constexpr double kRigidityUnit = 1e6;

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
    std::vector<double> theta;      // N+1 node rotations, rad; node 1 at [0]
    std::vector<SpanValues> spans;  // N spans; span 1 at [0]
};

// The closed form of one span of a solved beam: M piecewise quadratic and w
// piecewise quartic in x (m from the span's left node, 0 <= x <= L). Cheap to
// build, so a diagram can make one per span and sample it.
class SpanCurve {
  public:
    SpanCurve(const DesignState& solved, int span);

    double Moment(double x) const;
    double Shear(double x) const;  // at a point load: the value just right of it, but
                                   // at x = 0 and x = L the end shears Vl and Vr
    double Deflection(double x) const;
    double Slope(double x) const;
    SpanValues Values() const;

  private:
    // One stretch where M is a single polynomial in t = x / L,
    // M = m0 + m1 t + m2 t^2, held through its integrals: L/EI times the slope
    // is t (m0 + t (m1/2 + t m2/3)) + f + m_chord, and L^2/EI times the
    // deflection in m is t^2 (m0/2 + t (m1/6 + t m2/12)) + f t + g + m_chord t.
    struct Piece {
        double m0 = 0, s2 = 0, s3 = 0;  // m0, m1/2, m2/3
        double w2 = 0, w3 = 0, w4 = 0;  // m0/2, m1/6, m2/12
        double f = 0, g = 0;
        Piece() = default;
        Piece(double c0, double c1, double c2);
        double Slope(double t) const { return t * (m0 + t * (s2 + t * s3)) + f; }
        double Bending(double t) const { return t * t * (w2 + t * (w3 + t * w4)) + f * t + g; }
    };
    const Piece& PieceAt(double t) const { return t <= m_tb ? m_left : m_right; }
    double Bending(double t) const { return PieceAt(t).Bending(t) + m_chord * t; }
    double Moment(double x, double t) const;  // t = x / L given

    double m_l = 0;
    double m_ml = 0, m_mr = 0;  // node moments at the two ends
    double m_v = 0;             // shear of the line between them
    double m_q = 0;             // uniform intensity; 0 for a point load or none
    double m_xb = 0;            // x of the load's end or of the point load
    double m_tb = 1;            // the same as a fraction of L
    double m_rl = 0, m_rr = 0;  // reactions of the load on the span as simply supported
    double m_chord = 0;         // brings the deflection back to zero at the right support
    double m_mm = 0;            // mm of deflection per unit of Bending()
    double m_rad = 0;           // radians of slope per unit of Piece::Slope()
    Piece m_left, m_right;
};

DesignValues ComputeDesignValues(const DesignState& solved);

// One value at x on span (1..N), for occasional use; sampling a whole span is
// cheaper through one SpanCurve.
double MomentAt(const DesignState& solved, int span, double x);
double ShearAt(const DesignState& solved, int span, double x);
double DeflectionAt(const DesignState& solved, int span, double x);
double SlopeAt(const DesignState& solved, int span, double x);

}  // namespace cbeam
