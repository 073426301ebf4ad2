#pragma once

#include "canvas/canvas.h"
#include "model/beam.h"
#include "model/design.h"

namespace cbeam {

// The shear-force diagram of a solved beam: positive shear above the axis,
// the end shears of every span labelled. `design` holds the beam's spans in
// order (design.spans[0] is span 1). Never clears the canvas.
void DrawShear(const BeamState& solved, const DesignValues& design, Canvas& canvas);

// The deflection curve, downward deflection drawn downward, the largest
// deflection of every span labelled in mm. Never clears the canvas.
void DrawDeflection(const BeamState& solved, const DesignValues& design, Canvas& canvas);

}  // namespace cbeam
