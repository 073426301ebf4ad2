#include "model/design.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cbeam {

namespace {

constexpr double kThird = 1.0 / 3, kSixth = 1.0 / 6, kTwelfth = 1.0 / 12;

// One Newton step on t^3 + a t^2 + b t + c.
double Newton(double a, double b, double c, double t) {
    const double d = (3 * t + 2 * a) * t + b;
    return d != 0 ? t - (((t + a) * t + b) * t + c) / d : t;
}

// The real roots of c2 t^2 + c1 t + c0 (c2 != 0); the smaller one from c0 / h
// so that nothing cancels.
int Quadratic(double c2, double c1, double c0, double r[2]) {
    const double disc = c1 * c1 - 4 * c2 * c0;
    if (disc < 0) return 0;
    const double h = -(c1 + std::copysign(std::sqrt(disc), c1)) / 2;
    r[0] = h / c2;
    r[1] = h != 0 ? c0 / h : 0;
    return 2;
}

// The real roots of c3 t^3 + c2 t^2 + c1 t + c0 that lie in [lo, hi], ascending.
int RootsIn(double c3, double c2, double c1, double c0, double lo, double hi, double out[3]) {
    double r[3];
    int n = 0;
    // A cubic term below the rounding of the others on [0, 1] only adds a
    // far-off root.
    if (std::fabs(c3) > 1e-15 * (std::fabs(c2) + std::fabs(c1) + std::fabs(c0))) {
        const double inv = 1 / c3;
        const double a = c2 * inv, b = c1 * inv, c = c0 * inv;
        const double q = (a * a - 3 * b) * (1.0 / 9);
        const double rr = (a * (2 * a * a - 9 * b) + 27 * c) * (1.0 / 54);
        const double q3 = q * q * q;
        if (rr * rr < q3) {
            // Three real roots, -2 sqrt(q) cos(phi + 2 pi k / 3) - a/3.
            const double sq = std::sqrt(q);
            const double phi = std::acos(rr / (q * sq)) * kThird;
            const double co = std::cos(phi), si = std::sqrt(std::max(0.0, 1 - co * co));
            const double h = std::numbers::sqrt3 * si;
            r[n++] = -2 * sq * co - a * kThird;
            r[n++] = sq * (co - h) - a * kThird;
            r[n++] = sq * (co + h) - a * kThird;
        } else {
            const double e = -std::copysign(std::cbrt(std::fabs(rr) + std::sqrt(rr * rr - q3)), rr);
            r[n++] = e + (e != 0 ? q / e : 0) - a * kThird;
        }
        if (std::fabs(q3 - rr * rr) > 1e-8 * (std::fabs(q3) + rr * rr)) {
            for (int i = 0; i < n; ++i) r[i] = Newton(a, b, c, r[i]);
        } else {
            // Rounding decides here whether two roots are real: roots of
            // widely different size (a small load between large node moments)
            // look like a double root to the closed form. Only the largest
            // root is taken from it, polished and divided out; the other two
            // come from the remaining quadratic, built from the low-order
            // coefficients so that nothing cancels.
            double big = r[0];
            for (int i = 1; i < n; ++i) big = std::fabs(r[i]) > std::fabs(big) ? r[i] : big;
            big = Newton(a, b, c, Newton(a, b, c, big));
            // t^3 + a t^2 + b t + c = (t - big) (t^2 + beta t + gamma).
            const double gamma = big != 0 ? -c / big : b;
            const double beta = big != 0 ? (gamma - b) / big : a;
            r[0] = big;
            n = 1 + Quadratic(1, beta, gamma, r + 1);
            for (int i = 1; i < n; ++i) r[i] = Newton(a, b, c, r[i]);
        }
    } else if (c2 != 0) {
        n = Quadratic(c2, c1, c0, r);
    } else if (c1 != 0) {
        r[n++] = -c0 / c1;
    }
    int kept = 0;
    for (int i = 0; i < n; ++i) {
        if (r[i] < lo || r[i] > hi) continue;
        int j = kept++;
        for (; j > 0 && out[j - 1] > r[i]; --j) out[j] = out[j - 1];
        out[j] = r[i];
    }
    return kept;
}

}  // namespace

SpanCurve::Piece::Piece(double c0, double c1, double c2)
    : m0(c0), s2(c1 / 2), s3(c2 * kThird), w2(c0 / 2), w3(c1 * kSixth), w4(c2 * kTwelfth) {}

SpanCurve::SpanCurve(const DesignState& s, int span) {
    m_l = s.L(span);
    m_ml = s.M(span);
    m_mr = s.M(span + 1);
    m_v = (m_ml - m_mr) / m_l;
    const double load = s.Q(span);
    const double a = s.A(span);
    switch (s.Kind(span)) {
        case LoadKind::Uniform: {
            m_q = load;
            m_tb = a;
            m_xb = a * m_l;
            const double total = load * m_xb;
            m_rl = total * (1 - a / 2);
            m_rr = total * a / 2;
            break;
        }
        case LoadKind::Point:
            m_tb = a;
            m_xb = a * m_l;
            m_rl = load * (1 - a);
            m_rr = load * a;
            break;
        default:
            m_xb = m_l;
            break;
    }
    // With t = x / L the line between the node moments less the simple-span
    // moment of the load gives both pieces; the right one is straight.
    const double dm = m_mr - m_ml;
    m_left = Piece(m_ml, dm - m_rl * m_l, m_q * m_l * m_l / 2);
    m_right = Piece(m_ml - m_rr * m_l, dm + m_rr * m_l, 0);
    // Slope and deflection run on across the load's end without a step.
    const double tb = m_tb;
    m_right.f = m_left.Slope(tb) - m_right.Slope(tb);
    m_right.g = m_left.Bending(tb) - m_right.Bending(tb);
    m_chord = -Bending(1);  // added last in Bending, so that t = 1 gives exactly zero

    const double ei = s.EI(span) * s.EIo * kRigidityUnit;
    m_rad = m_l / ei;
    m_mm = 1000 * m_l * m_rad;
}

double SpanCurve::Moment(double x, double t) const {
    const double simple = x <= m_xb ? x * (m_rl - m_q * x / 2) : m_rr * (m_l - x);
    return m_ml * (1 - t) + m_mr * t - simple;
}

double SpanCurve::Moment(double x) const {
    return Moment(x, x / m_l);
}

double SpanCurve::Shear(double x) const {
    return x < m_xb || x == 0 ? m_v + m_rl - m_q * x : m_v - m_rr;
}

double SpanCurve::Deflection(double x) const {
    return m_mm * Bending(x / m_l);
}

double SpanCurve::Slope(double x) const {
    const double t = x / m_l;
    return m_rad * (PieceAt(t).Slope(t) + m_chord);
}

SpanValues SpanCurve::Values() const {
    SpanValues v;
    v.Vl = m_v + m_rl;
    v.Vr = m_v - m_rr;

    // M is convex where loaded and straight elsewhere: its smallest value is
    // at an end, at the load's end or where V = Vl - q x vanishes. Candidates
    // go left to right and only a strictly smaller value moves the position.
    v.Msag = m_ml;
    const auto sag = [&](double x, double t) {
        const double m = Moment(x, t);
        if (m < v.Msag) {
            v.Msag = m;
            v.xMsag = x;
        }
    };
    if (m_q > 0 && v.Vl > 0 && v.Vl < m_q * m_xb) {
        const double t = v.Vl / (m_q * m_l);
        sag(t * m_l, t);
    }
    sag(m_xb, m_tb);
    sag(m_l, 1);

    // The deflection is zero at both ends, so its extreme is at a root of the
    // slope inside a piece or at the join of the two pieces.
    const auto bend = [&](double t) {
        const double w = m_mm * Bending(t);
        if (std::fabs(w) > std::fabs(v.w)) {
            v.w = w;
            v.xw = t * m_l;
        }
    };
    double roots[3];
    const auto stationary = [&](const Piece& p, double lo, double hi) {
        const int n = RootsIn(p.s3, p.s2, p.m0, p.f + m_chord, lo, hi, roots);
        for (int i = 0; i < n; ++i) bend(roots[i]);
    };
    if (m_tb > 0) stationary(m_left, 0, m_tb);
    bend(m_tb);
    if (m_tb < 1) stationary(m_right, m_tb, 1);
    return v;
}

DesignValues ComputeDesignValues(const DesignState& solved) {
    DesignValues d;
    const int n = solved.N;
    if (n < 1) return d;
    d.R.reserve(static_cast<std::size_t>(n) + 1);
    d.spans.reserve(static_cast<std::size_t>(n));
    d.theta.reserve(static_cast<std::size_t>(n) + 1);
    double vr = 0;  // right-end shear of the span left of the node; none at node 1
    for (int k = 1; k <= n; ++k) {
        const SpanValues v = SpanCurve(solved, k).Values();
        d.R.push_back(v.Vl - vr);
        vr = v.Vr;
        d.spans.push_back(v);
    }
    d.R.push_back(-vr);
    // From the solution itself: a clamped end stays exactly 0.
    for (int k = 1; k <= n + 1; ++k) d.theta.push_back(solved.Theta(k) / kRigidityUnit);
    return d;
}

double MomentAt(const DesignState& solved, int span, double x) {
    return SpanCurve(solved, span).Moment(x);
}
double ShearAt(const DesignState& solved, int span, double x) {
    return SpanCurve(solved, span).Shear(x);
}
double DeflectionAt(const DesignState& solved, int span, double x) {
    return SpanCurve(solved, span).Deflection(x);
}
double SlopeAt(const DesignState& solved, int span, double x) {
    return SpanCurve(solved, span).Slope(x);
}

}  // namespace cbeam
