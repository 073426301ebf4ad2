#pragma once

#include <algorithm>
#include <span>
#include <vector>

#include "model/structure.h"

// The one formula of a span of a solved beam: M, V, slope and deflection
// along it from the span's left-end values and its loads, in closed form.
//
// Signs and units as everywhere in cbeam: M hogging positive (kN·m), V =
// -dM/dx (kN), deflection w downward in mm, slope clockwise in rad, x in m
// from the span's left node.
namespace cbeam::analysis {

// Which limit at a jump (a point load, a concentrated moment): just left or
// just right of x. At x = 0 the left limit is the span's end value (what the
// support gives the span, a point load at x = 0 not yet taken off); at x = L
// the right limit likewise.
enum class Side { Left, Right };

// The values at the span's left node that, with the loads, fix the curve.
struct SpanStart {
    double L = 1;
    double EI = 1;     // kN·m²
    double Ml = 0;     // kN·m, hogging positive
    double Vl = 0;     // kN, the support's force on the span
    double w = 0;      // m, downward
    double theta = 0;  // rad, clockwise
};

class SpanCurve {
  public:
    // One stretch between load points with M = m[0] + m[1] u + m[2] u² + m[3] u³,
    // u = x - x0; slope and deflection at x0 in rad and m.
    struct Piece {
        double x0 = 0, x1 = 0;
        double m[4] = {0, 0, 0, 0};
        double theta0 = 0, w0 = 0;
    };

    SpanCurve() = default;
    SpanCurve(const SpanStart& start, std::span<const Load> loads) { Build(start, loads); }
    // Rebuilds in place; a curve reused span after span allocates nothing more.
    void Build(const SpanStart& start, std::span<const Load> loads);

    double Length() const { return m_l; }
    double Rigidity() const { return m_ei; }
    std::span<const Piece> Pieces() const { return m_pieces; }

    // Inline: the envelopes evaluate millions of them.
    double Moment(double x, Side side = Side::Right) const {
        if (side == Side::Left && x <= 0) return m_ml;
        if (side == Side::Right && x >= m_l) return m_mr;
        const Piece& p = PieceAt(x, side);
        const double u = x - p.x0;
        return ((p.m[3] * u + p.m[2]) * u + p.m[1]) * u + p.m[0];
    }
    double Shear(double x, Side side = Side::Right) const {
        if (side == Side::Left && x <= 0) return m_vl;
        if (side == Side::Right && x >= m_l) return m_vr;
        const Piece& p = PieceAt(x, side);
        const double u = x - p.x0;
        return -((3 * p.m[3] * u + 2 * p.m[2]) * u + p.m[1]);
    }
    double Slope(double x) const;        // rad
    double Deflection(double x) const {  // mm
        const double at = std::clamp(x, 0.0, m_l);
        const Piece& p = PieceAt(at, Side::Right);
        const double u = at - p.x0;
        const double* c = p.m;
        return 1000 *
               (p.w0 +
                u * (p.theta0 +
                     u * (c[0] / 2 + u * (c[1] / 6 + u * (c[2] / 12 + u * c[3] / 20))) / m_ei));
    }
    // The values at the two ends: what the supports give the span.
    double Ml() const { return m_ml; }
    double Vl() const { return m_vl; }
    double Mr() const { return m_mr; }
    double Vr() const { return m_vr; }
    // A size of the moments on the span, for telling rounding from a difference.
    double Scale() const { return m_scale; }

  private:
    // The piece whose closed stretch holds x, the one on the named side at a cut.
    const Piece& PieceAt(double x, Side side) const {
        if (m_pieces.size() == 1) return m_pieces.front();
        if (side == Side::Right) {
            const auto it = std::upper_bound(m_pieces.begin(), m_pieces.end(), x,
                                             [](double v, const Piece& p) { return v < p.x0; });
            return it == m_pieces.begin() ? m_pieces.front() : *(it - 1);
        }
        const auto it = std::lower_bound(m_pieces.begin(), m_pieces.end(), x,
                                         [](const Piece& p, double v) { return p.x1 < v; });
        return it == m_pieces.end() ? m_pieces.back() : *it;
    }

    double m_l = 1, m_ei = 1;
    double m_ml = 0, m_vl = 0, m_mr = 0, m_vr = 0;
    double m_scale = 0;
    // The loads as Build walks them: spread over a stretch, or at a point.
    struct Spread {
        double x1, x2, q1, rise, slope;
        bool linear;
    };
    struct Jump {
        double x, dv, dm;
    };
    std::vector<Piece> m_pieces;
    std::vector<double> m_cuts;
    std::vector<Spread> m_spread;
    std::vector<Jump> m_jumps;
};

// The design values of one span.
struct SpanDesign {
    double Vl = 0, Vr = 0;       // end shears, kN
    double Msag = 0, xMsag = 0;  // smallest M (largest sagging), leftmost where
    double Mhog = 0, xMhog = 0;  // largest M (largest hogging), leftmost where
    double w = 0, xw = 0;        // deflection of largest size, signed, mm, leftmost where
};

// From the pieces in closed form: the extremes of M at piece ends (both
// sides of a jump) and at the roots of V, the extremes of w at the ends and
// at the roots of the slope. Values within rounding of each other count as
// equal, so the leftmost of them is taken.
SpanDesign DesignOf(const SpanCurve& curve);

// The real roots of c[0] + c[1] u + ... + c[deg] u^deg (deg <= 5) inside
// (lo, hi), ascending; how many. Exact to rounding: each root is isolated
// between the roots of the derivative and then bracketed, never sampled.
int RootsIn(const double* c, int deg, double lo, double hi, double* out);

}  // namespace cbeam::analysis
