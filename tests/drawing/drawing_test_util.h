#pragma once

#include <chrono>
#include <cmath>
#include <functional>
#include <ostream>
#include <vector>

#include "canvas/recording_canvas.h"
#include "common/beam_helpers.h"
#include "drawing/drawings.h"

namespace cbeam {
inline void PrintTo(const Primitive& p, std::ostream* out) {
    *out << ListLine(p);
}
}  // namespace cbeam

namespace cbeam::test {

using Kind = Primitive::Kind;
using Items = std::vector<Primitive>;

// Pinned ends and no results, the way most drawings here start.
inline BeamState Beam(const std::vector<testing::SpanInput>& spans) {
    return testing::MakeBeam(spans, kFalse, kFalse);
}

// What each drawing hands a recording canvas of W x H units.
inline Items Schematic(const BeamState& s, double W, double H) {
    RecordingCanvas c(W, H);
    ReDrawAll(s, c);
    return c.Items();
}
inline Items Diagram(BeamState& s, double W, double H) {
    RecordingCanvas c(W, H);
    DrawM(s, c);
    return c.Items();
}

inline Items Select(const Items& items, const std::function<bool(const Primitive&)>& keep) {
    Items out;
    for (const Primitive& p : items) {
        if (keep(p)) out.push_back(p);
    }
    return out;
}
inline Items OfKind(const Items& items, Kind kind) {
    return Select(items, [kind](const Primitive& p) { return p.kind == kind; });
}
inline std::vector<float> Xs(const Items& items) {
    std::vector<float> xs;
    for (const Primitive& p : items) xs.push_back(p.x1);
    return xs;
}
inline const Primitive* FindText(const Items& items, const std::string& text) {
    for (const Primitive& p : items) {
        if (p.kind == Kind::Text && p.text == text) return &p;
    }
    return nullptr;
}

// How often the drawing holds this primitive, written as the listing writes it.
inline int Count(const Items& items, const std::string& line) {
    int n = 0;
    for (const Primitive& p : items) n += ListLine(p) == line;
    return n;
}

inline bool Finite(const Primitive& p) {
    return std::isfinite(p.x1) && std::isfinite(p.y1) && std::isfinite(p.x2) &&
           std::isfinite(p.y2) && std::isfinite(p.r);
}

// Wall-clock seconds of one call.
template <class F>
double Seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace cbeam::test
