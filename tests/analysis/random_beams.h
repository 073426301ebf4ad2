#pragma once

#include <random>

#include "model/structure.h"

namespace cbeam::testing {

// What a random beam may hold.
struct Mix {
    bool springs = false, cantilevers = false, settlements = false;
};

// n spans of 1..9 m, rigidities 0.5..3 EIo, up to five loads of every kind
// per span (positions exactly at the ends too), supports drawn until the
// beam holds.
inline Beam RandomBeam(std::mt19937& g, int n, Mix mix) {
    std::uniform_real_distribution<double> u(0, 1);
    Beam b;
    b.EIo = 0.5 + 2 * u(g);
    for (int k = 0; k < n; ++k) b.spans.push_back({1 + 8 * u(g), 0.5 + 2.5 * u(g)});
    do {
        b.supports.clear();
        for (int j = 0; j <= n; ++j) {
            const double r = u(g);
            Support s{r < 0.5 ? SupportKind::Pinned : SupportKind::Fixed};
            if (mix.springs && r > 0.7) s = Support::Spring(1e3 + 1e5 * u(g), u(g) < 0.3 ? 1e4 * u(g) : 0);
            if (mix.cantilevers && (j == 0 || j == n) && u(g) < 0.5) s = Support{SupportKind::Free};
            b.supports.push_back(s);
        }
    } while (IsMechanism(b));
    LoadCase c;
    c.name = "G";
    const auto at = [&](double l) { const double r = u(g); return r < 0.1 ? 0 : r > 0.9 ? l : l * u(g); };
    for (int k = 1; k <= n; ++k) {
        const double l = b.SpanAt(k).L;
        for (int i = static_cast<int>(6 * u(g)); i > 0; --i) {
            const double q = 40 * u(g) - 10, x1 = at(l), x2 = x1 + (l - x1) * u(g);
            switch (static_cast<int>(4 * u(g))) {
                case 0: c.loads.push_back(Load::Uniform(k, q, x1, x2)); break;
                case 1: c.loads.push_back(Load::Linear(k, q, 30 * u(g), x1, x2)); break;
                case 2: c.loads.push_back(Load::Point(k, 3 * q, x1)); break;
                default: c.loads.push_back(Load::Moment(k, 3 * q, x1)); break;
            }
        }
    }
    for (int j = 1; mix.settlements && j <= n + 1; ++j) {
        if (b.SupportAt(j).HoldsDeflection() && u(g) < 0.4) c.loads.push_back(Load::Settlement(j, 20 * u(g) - 5));
    }
    b.cases.push_back(c);
    return b;
}

}  // namespace cbeam::testing
