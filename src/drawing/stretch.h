#pragma once

#include <algorithm>
#include <cmath>
#include <optional>

#include "drawing/layout.h"
#include "model/structure.h"

namespace cbeam::drawing_detail {

// Spans first..last of a general beam over a canvas W wide, at their
// lengths. The schematic, the envelopes and the influence lines all map
// through this one function: any difference would shift one drawing
// against the others under it.
struct Stretch {
    int first = 1, last = 0;
    double x0 = 0, xR = 0, kx = 0;
    double X(double d) const { return x0 + d * kx; }
};

inline std::optional<Stretch> StretchOf(const Beam& beam, double W, int firstSpan, int lastSpan) {
    Stretch s;
    s.first = std::max(firstSpan, 1);
    s.last = lastSpan < 1 ? beam.N() : std::min(lastSpan, beam.N());
    if (s.first > s.last || !(W > 2 * kMargin) || !std::isfinite(W)) return std::nullopt;
    if (beam.supports.size() < static_cast<std::size_t>(s.last) + 1) return std::nullopt;
    double total = 0;
    for (int k = s.first; k <= s.last; ++k) total += beam.SpanAt(k).L;
    s.x0 = kMargin, s.xR = std::round(W - kMargin);
    s.kx = (s.xR - s.x0) / total;
    if (!std::isfinite(s.kx) || !(s.kx > 0)) return std::nullopt;
    return s;
}

}  // namespace cbeam::drawing_detail
