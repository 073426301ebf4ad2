#pragma once

#include <functional>
#include <vector>

#include "canvas/recording_canvas.h"
#include "model/beam.h"

namespace cbeam::test {

// A beam of the given span lengths, EI = 1, no loads, pinned ends, results 0.
inline BeamState Beam(const std::vector<double>& lengths) {
    BeamState s;
    s.SizeAll(static_cast<int>(lengths.size()));
    s.EIo = 1;
    for (int i = 1; i <= s.N; ++i) {
        s.L(i) = lengths[static_cast<std::size_t>(i - 1)];
        s.EI(i) = 1;
    }
    return s;
}

inline std::vector<Primitive> Select(const std::vector<Primitive>& items,
                                     const std::function<bool(const Primitive&)>& keep) {
    std::vector<Primitive> out;
    for (const Primitive& p : items) {
        if (keep(p)) out.push_back(p);
    }
    return out;
}

inline std::vector<Primitive> Texts(const std::vector<Primitive>& items) {
    return Select(items, [](const Primitive& p) { return p.kind == Primitive::Kind::Text; });
}

inline const Primitive* FindText(const std::vector<Primitive>& items, const std::string& text) {
    for (const Primitive& p : items) {
        if (p.kind == Primitive::Kind::Text && p.text == text) return &p;
    }
    return nullptr;
}

}  // namespace cbeam::test
