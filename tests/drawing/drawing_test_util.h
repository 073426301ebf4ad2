#pragma once

#include <chrono>
#include <tuple>
#include <vector>

#include "canvas/recording_canvas.h"
#include "common/beam_helpers.h"
#include "drawing/drawings.h"

namespace cbeam::test {

using Items = std::vector<Primitive>;
using Spans = std::vector<testing::SpanInput>;

// Pinned ends and no results, the way most drawings here start.
inline const auto Beam = [](const Spans& s) { return testing::MakeBeam(s, kFalse, kFalse); };

// A recording canvas that may claim a device resolution, as a picture does.
struct PixelRecording : RecordingCanvas {
    PixelRecording(double w, double h, DeviceScale s) : RecordingCanvas(w, h), scale(s) {}
    DeviceScale Resolution() const override { return scale; }
    DeviceScale scale;
};

// What a drawing hands a W x H canvas.
inline Items Record(BeamState& s, bool schematic, double W, double H, DeviceScale res = {}) {
    PixelRecording c(W, H, res);
    schematic ? ReDrawAll(s, c) : DrawM(s, c);
    return c.Items();
}

inline double Seconds(auto&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace cbeam::test
