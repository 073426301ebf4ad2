#pragma once

#include "canvas/canvas.h"
#include "model/beam.h"

namespace cbeam {

// The beam schematic: bar, supports, dimension line, labels and loads.
// Never clears the canvas.
void ReDrawAll(const BeamState& s, Canvas& canvas);

// The bending-moment diagram of the last analysis; sets HatchSpacing.
// Never clears the canvas.
void DrawM(BeamState& s, Canvas& canvas);

}  // namespace cbeam
