#include "analysis/span_curve.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace cbeam::analysis {

namespace {

// Differences below this fraction of a span's scale are rounding, not a
// larger extreme further right.
constexpr double kTie = 1e-13;
// A slope within this fraction of the sizes of its terms is rounding.
constexpr double kNoise = 64 * std::numeric_limits<double>::epsilon();

double Horner(const double* c, int deg, double u) {
    double v = c[deg];
    for (int k = deg - 1; k >= 0; --k) v = v * u + c[k];
    return v;
}

// Horner of a degree known when compiling, unrolled: the same sums in the
// same order, without a loop whose length the branch predictor must guess.
template <int D>
[[gnu::always_inline]] inline double Poly(const double* c, double u) {
    double v = c[D];
    [&]<int... K>(std::integer_sequence<int, K...>) {
        ((v = v * u + c[D - 1 - K]), ...);
    }
    (std::make_integer_sequence<int, D>{});
    return v;
}

double HornerSlope(const double* c, int deg, double u) {
    double v = deg * c[deg];
    for (int k = deg - 1; k >= 1; --k) v = v * u + k * c[k];
    return v;
}

// The root of c in (a, b), where c(a) = fa and c(b) = fb differ in sign:
// Halley steps from where the chord crosses zero while they stay inside the
// bracket and shrink it fast, halving otherwise. A small step whose square,
// by the curvature, leaves an error well under rounding is the last.
template <int D>
double Bracketed(const double* c, double a, double b, double fa, double fb) {
    const double tiny =
        4 * std::numeric_limits<double>::epsilon() * std::max(std::fabs(a), std::fabs(b));
    const double small = 1e-6 * (b - a);
    double x = a + (b - a) * (fa / (fa - fb));
    if (!(x > a && x < b)) x = 0.5 * (a + b);
    for (int it = 0; it < 200; ++it) {
        // The value, the slope and half the curvature in one pass.
        double fx = c[D], d = 0, half = 0;
        [&]<int... K>(std::integer_sequence<int, K...>) {
            ((half = half * x + d, d = d * x + fx, fx = fx * x + c[D - 1 - K]), ...);
        }
        (std::make_integer_sequence<int, D>{});
        if (fx == 0) return x;
        if ((fx < 0) == (fa < 0)) {
            a = x;
            fa = fx;
        } else {
            b = x;
        }
        if (b - a <= tiny) return 0.5 * (a + b);
        // Newton's step corrected by the curvature: one evaluation fewer, mostly.
        const double den = d * d - fx * half;
        const double step = den != 0 ? fx * d / den : 0;
        if (den != 0 && x - step > a && x - step < b) {
            x -= step;
            if (std::fabs(step) <= tiny) return x;
            if (std::fabs(step) <= small &&
                std::fabs(half) * step * step <= 0.25 * tiny * std::fabs(d))
                return x;
        } else {
            x = 0.5 * (a + b);
        }
    }
    return x;
}

// RootsIn brackets degrees 3 to 5 only.
double Bracketed(const double* c, int deg, double a, double b, double fa, double fb) {
    return deg == 3   ? Bracketed<3>(c, a, b, fa, fb)
           : deg == 4 ? Bracketed<4>(c, a, b, fa, fb)
                      : Bracketed<5>(c, a, b, fa, fb);
}

}  // namespace

int RootsIn(const double* c, int deg, double lo, double hi, double* out) {
    while (deg > 0 && c[deg] == 0) --deg;
    int n = 0;
    if (deg == 1) {
        const double r = -c[0] / c[1];
        if (r > lo && r < hi) out[n++] = r;
        return n;
    }
    if (deg == 2) {
        const double disc = c[1] * c[1] - 4 * c[2] * c[0];
        if (disc < 0) return 0;
        const double h = -(c[1] + std::copysign(std::sqrt(disc), c[1])) / 2;
        double r[2] = {h / c[2], h != 0 ? c[0] / h : 0};
        if (r[0] > r[1]) std::swap(r[0], r[1]);
        for (const double x : r) {
            if (x > lo && x < hi && (n == 0 || x != out[n - 1])) out[n++] = x;
        }
        return n;
    }
    if (deg < 1) return 0;
    // Between the roots of the derivative the polynomial is monotone: each
    // stretch holds one root at most, found by bracketing.
    double d[5];
    for (int k = 0; k < deg; ++k) d[k] = (k + 1) * c[k + 1];
    double cuts[7];
    cuts[0] = lo;
    int m = 1 + RootsIn(d, deg - 1, lo, hi, cuts + 1);
    cuts[m++] = hi;
    double fa = Horner(c, deg, lo);
    for (int i = 0; i + 1 < m; ++i) {
        const double a = cuts[i], b = cuts[i + 1];
        const double fb = Horner(c, deg, b);
        if (fb == 0 && b < hi) {
            out[n++] = b;
        } else if (fa != 0 && fb != 0 && (fa < 0) != (fb < 0)) {
            out[n++] = Bracketed(c, deg, a, b, fa, fb);
        }
        fa = fb;
    }
    return n;
}

void SpanCurve::Build(const SpanStart& st, std::span<const Load> loads) {
    m_l = st.L;
    m_ei = st.EI;
    m_ml = st.Ml;
    m_vl = st.Vl;
    m_cuts.clear();
    m_cuts.push_back(0);
    m_cuts.push_back(m_l);
    m_spread.clear();
    m_jumps.clear();
    double scale = std::fabs(st.Ml) + std::fabs(st.Vl) * m_l;
    for (const Load& load : loads) {
        switch (load.kind) {
            case Load::Kind::Uniform:
            case Load::Kind::Linear: {
                if (!(load.x2 > load.x1)) break;
                const bool linear = load.kind == Load::Kind::Linear;
                m_cuts.push_back(load.x1);
                m_cuts.push_back(load.x2);
                scale += (std::fabs(load.q1) + std::fabs(linear ? load.q2 : load.q1)) *
                         (load.x2 - load.x1) * m_l;
                m_spread.push_back({load.x1, load.x2, load.q1, linear ? load.q2 - load.q1 : 0,
                                    linear ? (load.q2 - load.q1) / (load.x2 - load.x1) : 0,
                                    linear});
                break;
            }
            case Load::Kind::Point:
                m_cuts.push_back(load.x1);
                scale += std::fabs(load.q1) * m_l;
                m_jumps.push_back({load.x1, load.q1, 0});
                break;
            case Load::Kind::Moment:
                m_cuts.push_back(load.x1);
                scale += std::fabs(load.q1);
                m_jumps.push_back({load.x1, 0, load.q1});
                break;
            case Load::Kind::Settlement:
                break;
        }
    }
    m_scale = scale;
    // A handful of cuts, mostly in order already: insertion sort beats a general one.
    for (std::size_t i = 1; i < m_cuts.size(); ++i) {
        const double x = m_cuts[i];
        std::size_t j = i;
        for (; j > 0 && x < m_cuts[j - 1]; --j) m_cuts[j] = m_cuts[j - 1];
        m_cuts[j] = x;
    }
    m_cuts.erase(std::unique(m_cuts.begin(), m_cuts.end()), m_cuts.end());

    double M = st.Ml, V = st.Vl, theta = st.theta, w = st.w;
    const auto jumps = [&](double x) {
        for (const Jump& j : m_jumps) {
            if (j.x != x) continue;
            V -= j.dv;
            M -= j.dm;
        }
    };
    jumps(0);
    m_pieces.clear();
    const double inv = 1 / m_ei;
    for (std::size_t i = 0; i + 1 < m_cuts.size(); ++i) {
        const double a = m_cuts[i], b = m_cuts[i + 1], h = b - a, mid = a + h / 2;
        double q = 0, dq = 0;
        for (const Spread& load : m_spread) {
            if (mid < load.x1 || mid > load.x2) continue;
            q +=
                load.linear ? load.q1 + load.rise * ((a - load.x1) / (load.x2 - load.x1)) : load.q1;
            if (load.linear) dq += load.slope;
        }
        Piece p{a, b, {M, -V, q / 2, dq / 6}, theta, w};
        const double* c = p.m;
        M = Poly<3>(c, h);
        V = -HornerSlope(c, 3, h);
        theta += h * (c[0] + h * (c[1] / 2 + h * (c[2] / 3 + h * c[3] / 4))) * inv;
        w += h *
             (p.theta0 + h * (c[0] / 2 + h * (c[1] / 6 + h * (c[2] / 12 + h * c[3] / 20))) * inv);
        m_pieces.push_back(p);
        jumps(b);
    }
    m_mr = M;
    m_vr = V;
}

double SpanCurve::Slope(double x) const {
    const Piece& p = PieceAt(std::clamp(x, 0.0, m_l), Side::Right);
    const double u = std::clamp(x, 0.0, m_l) - p.x0;
    const double* c = p.m;
    return p.theta0 + u * (c[0] + u * (c[1] / 2 + u * (c[2] / 3 + u * c[3] / 4))) / m_ei;
}

namespace {

// The roots of the slope t inside the piece (0, at[n - 1]), ascending, two
// a stretch at most. On each stretch [at[i], at[i + 1]] M (c, with the
// values m) is monotone, so the slope, whose derivative is M / EI, has at
// most one extreme there, where M changes sign. Values within noise of zero
// are rounding.
int SlopeRoots(const double* c, const double* t, const double* at, const double* m, int n,
               double noise, double* out) {
    double f[4];
    for (int i = 0; i < n; ++i) {
        f[i] = i == 0 ? t[0] : Poly<4>(t, at[i]);
        // A root just at a stretch's end is left to the general search.
        if (f[i] == 0) return RootsIn(t, 4, 0, at[n - 1], out);
    }
    int found = 0;
    for (int i = 0; i + 1 < n; ++i) {
        const double a = at[i], b = at[i + 1], fa = f[i], fb = f[i + 1];
        if ((m[i] < 0 && m[i + 1] > 0) || (m[i] > 0 && m[i + 1] < 0)) {
            // Heading away from zero and back leaves no root; else the
            // extreme parts the stretch into two where the slope is monotone.
            if ((fa < 0) == (fb < 0) && (fa < 0) == (m[i] < 0)) continue;
            // Clearly of two signs at the ends, around one extreme: one root.
            if ((fa < 0) != (fb < 0) && std::fabs(fa) > noise && std::fabs(fb) > noise) {
                out[found++] = Bracketed<4>(t, a, b, fa, fb);
                continue;
            }
            const double r = Bracketed<3>(c, a, b, m[i], m[i + 1]);
            const double fr = Poly<4>(t, r);
            if (fr == 0) {
                out[found++] = r;
                continue;
            }
            if ((fa < 0) != (fr < 0)) out[found++] = Bracketed<4>(t, a, r, fa, fr);
            if ((fr < 0) != (fb < 0)) out[found++] = Bracketed<4>(t, r, b, fr, fb);
        } else if ((fa < 0) != (fb < 0)) {
            out[found++] = Bracketed<4>(t, a, b, fa, fb);
        }
    }
    return found;
}

}  // namespace

SpanDesign DesignOf(const SpanCurve& curve) {
    SpanDesign d;
    d.Vl = curve.Vl();
    d.Vr = curve.Vr();
    const double tol = kTie * curve.Scale();
    d.Msag = d.Mhog = curve.Ml();
    // Selects rather than branches: which candidate wins is hard to predict.
    const auto moment = [&](double m, double x) {
        const bool sag = m<d.Msag - tol, hog = m> d.Mhog + tol;
        d.Msag = sag ? m : d.Msag;
        d.xMsag = sag ? x : d.xMsag;
        d.Mhog = hog ? m : d.Mhog;
        d.xMhog = hog ? x : d.xMhog;
    };
    const double ei = curve.Rigidity(), l = curve.Length();
    const auto pieces = curve.Pieces();
    const double w0 = pieces.front().w0;
    const double wtol =
        kTie * (std::fabs(w0) + std::fabs(pieces.front().theta0) * l + curve.Scale() * l * l / ei);
    d.w = 1000 * w0;
    // What a deflection must beat, in m; kept beside d.w so as not to divide for every candidate.
    double beat = std::fabs(d.w) / 1000 + wtol;
    const auto deflection = [&](double w, double x) {
        if (std::fabs(w) > beat) {
            d.w = 1000 * w;
            d.xw = x;
            beat = std::fabs(d.w) / 1000 + wtol;
        }
    };
    // The slope's coefficients are M's over k·EI, w's over k·(k + 1)·EI: no
    // division but one a span.
    const double inv = 1 / ei, k[5] = {0, inv, inv / 2, inv / 3, inv / 4};
    const double kw[4] = {inv / 2, inv / 6, inv / 12, inv / 20};
    // Two a stretch at most: rounding may show more sign changes than a quartic has roots.
    double roots[6];
    for (std::size_t j = 0; j < pieces.size(); ++j) {
        const SpanCurve::Piece& p = pieces[j];
        const double* c = p.m;
        const double h = p.x1 - p.x0;
        // The ends and the roots of V between them part the piece into
        // stretches on each of which M is monotone.
        double at[4] = {0}, m[4] = {c[0]};
        const double v[3] = {c[1], 2 * c[2], 3 * c[3]};
        // Most pieces hold no extreme of M: -V of one strict sign at both
        // ends and monotone between them needs no roots.
        const double vh = v[0] + h * (v[1] + h * v[2]), sh = v[1] + 2 * h * v[2];
        const bool none = ((v[0] > 0 && vh > 0) || (v[0] < 0 && vh < 0)) &&
                          ((v[1] >= 0 && sh >= 0) || (v[1] <= 0 && sh <= 0));
        int n = 1 + (none ? 0 : RootsIn(v, 2, 0, h, at + 1));
        at[n++] = h;
        for (int i = 0; i < n; ++i) {
            if (i > 0) m[i] = Poly<3>(c, at[i]);
            moment(m[i], i + 1 == n ? p.x1 : p.x0 + at[i]);
        }

        // The slope theta0 + (c0 u + c1 u²/2 + c2 u³/3 + c3 u⁴/4) / EI: only
        // a piece where it can vanish and w can beat the largest so far needs its roots.
        const double t[5] = {p.theta0, c[0] * k[1], c[1] * k[2], c[2] * k[3], c[3] * k[4]};
        const double swing =
            h *
            (std::fabs(t[1]) + h * (std::fabs(t[2]) + h * (std::fabs(t[3]) + h * std::fabs(t[4]))));
        const double reach = std::fabs(p.w0) + h * (std::fabs(p.theta0) + swing);
        const auto w = [&](double u) {
            return p.w0 + u * (p.theta0 +
                               u * (c[0] * kw[0] +
                                    u * (c[1] * kw[1] + u * (c[2] * kw[2] + u * c[3] * kw[3]))));
        };
        if (std::fabs(p.theta0) <= swing && reach > beat) {
            for (int i = 0,
                     r = SlopeRoots(c, t, at, m, n, kNoise * (std::fabs(t[0]) + swing), roots);
                 i < r; ++i) {
                deflection(w(roots[i]), p.x0 + roots[i]);
            }
        }
        // w is continuous: where the next piece starts its own w0 serves.
        deflection(j + 1 < pieces.size() ? pieces[j + 1].w0 : w(h), p.x1);
    }
    moment(curve.Mr(), l);
    return d;
}

}  // namespace cbeam::analysis
