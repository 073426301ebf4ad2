#pragma once

#include <span>
#include <utility>
#include <vector>

#include "analysis/engine.h"
#include "model/structure.h"

// Influence lines: a quantity at one place as a unit load (1 kN, downward)
// moves over the whole beam. By reciprocity the line is the beam's motion
// under the quantity's own gradient taken as a load: one solution of the
// factored stiffness, then on each span the cubic the span's end motions
// give, plus, on the span of the section, the part of the load on that span
// itself (exact cubics on either side of the section).
namespace cbeam::analysis {

enum class InfluenceOf { Moment, Shear, Reaction, Deflection };

// Where: x on span k (M, V on the named side, w) or node j (R).
struct InfluenceAt {
    InfluenceOf what = InfluenceOf::Moment;
    int span = 1;
    double x = 0;
    Side side = Side::Right;
    int node = 1;
};

// The line over [x0, x1] of a span: c[0] + c[1] u + c[2] u² + c[3] u³, u = ξ - x0,
// ξ the load's place from the span's left node (m). Units of the quantity per kN.
struct InfluencePiece {
    int span = 1;
    double x0 = 0, x1 = 0;
    double c[4] = {0, 0, 0, 0};
    double At(double xi) const {
        const double u = xi - x0;
        return ((c[3] * u + c[2]) * u + c[1]) * u + c[0];
    }
};

struct InfluenceExtreme {
    double value = 0;
    int span = 1;
    double x = 0;  // from the span's left node
};

// The largest and the smallest ordinate of a piece (leftmost where).
std::pair<InfluenceExtreme, InfluenceExtreme> ExtremesOf(const InfluencePiece& p);

class InfluenceLine {
  public:
    // The status of the place asked for (a span, x or node outside the beam).
    Status Build(const Engine& engine, const Beam& beam, const InfluenceAt& at);

    std::span<const InfluencePiece> Pieces() const { return m_pieces; }
    // The ordinate for the load at x of span k; at a jump the limit from the
    // named side.
    double At(int span, double x, Side side = Side::Right) const;
    // Where the span's left node is, from the left end of the beam (the tip of
    // a left cantilever), m.
    double Start(int span) const { return m_start[static_cast<std::size_t>(span - 1)]; }
    double Length() const { return m_start.back(); }
    // The largest and the smallest ordinate (leftmost where), from the roots
    // of each piece's slope.
    InfluenceExtreme Max() const { return m_max; }
    InfluenceExtreme Min() const { return m_min; }
    // The areas under the line where it is positive and where negative
    // (negative), exact: what a uniform load of 1 kN/m gives at most each way.
    double PositiveArea() const { return m_area[0]; }
    double NegativeArea() const { return m_area[1]; }

  private:
    std::vector<InfluencePiece> m_pieces;  // by span, then by x
    std::vector<double> m_start;           // N + 1: where each node is
    InfluenceExtreme m_max, m_min;
    double m_area[2] = {0, 0};
};

// A train of point loads (kN, downward) at fixed distances behind the first
// (m, ascending from 0), with a uniform lane load (kN/m) laid where it makes
// the effect worse.
struct Train {
    std::vector<double> loads, offsets;
    double lane = 0;
};

struct TrainPosition {
    double value = 0;
    double position = 0;    // of the first load, from the left end of the beam, m
    bool rightward = true;  // travelling to the right: the others behind, left of it
};

struct TrainExtremes {
    TrainPosition max, min;
};

// The largest and the smallest effect of the train over every position,
// travelling to the right or to the left, exact: between the places where a
// load passes a break of the line the effect is one cubic, whose extremes are
// at the ends or at the roots of its slope. Loads beyond the beam's ends
// carry nothing.
TrainExtremes WorstPositions(const InfluenceLine& line, const Train& train, bool rightward);

}  // namespace cbeam::analysis
