#pragma once

#include <optional>

#include "analysis/influence.h"
#include "canvas/canvas.h"
#include "drawing/drawings.h"
#include "model/structure.h"

namespace cbeam {

// The influence line `line` of the quantity `at` over spans
// firstSpan..lastSpan (0: the last) of a general beam, the spans laid out as
// DrawEnvelope lays them, so that the two line up: positive ordinates up (w
// down, as its envelope), the positive part hatched in the diagrams' colour
// and the negative one in another, the section (or the node) marked, and
// the largest and the smallest ordinate of the stretch labelled with their
// units per kN. `line` must be built for `beam` and `at`. Never clears the
// canvas.
void DrawInfluence(const Beam& beam, const analysis::InfluenceLine& line,
                   const analysis::InfluenceAt& at, Canvas& canvas, DiagramStyle style = {},
                   int firstSpan = 1, int lastSpan = 0);

// The colour of the negative part's hatching.
constexpr Rgb kNegativeHatch{220, 40, 40};

struct BeamPlace {
    int span = 1;
    double x = 0;  // from the span's left node, m
};
// The place on the beam under canvas x of such a drawing (or an envelope's)
// on a canvas `width` wide: the span it falls in, clamped to the stretch
// drawn; empty when the canvas has no usable scale.
std::optional<BeamPlace> PlaceUnder(const Beam& beam, double canvasX, double width,
                                    int firstSpan = 1, int lastSpan = 0);

}  // namespace cbeam
