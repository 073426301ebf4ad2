#pragma once

#include "analysis/envelope.h"
#include "canvas/canvas.h"
#include "drawing/drawings.h"
#include "model/structure.h"

namespace cbeam {

// The envelope of M, V or w of spans firstSpan..lastSpan (0: the last) of
// a general beam over the whole canvas width, the spans at their lengths:
// the largest and the smallest value at every section, hatched between the
// two. M and V are drawn up for positive values, as DrawM and DrawV draw
// them, w downward. Labels: M at the supports and each span's extremes
// inside it, V at each span's ends, w at each span's extremes. `env` must be
// built for `beam`. Never clears the canvas.
void DrawEnvelope(const Beam& beam, const analysis::Envelope& env, analysis::Quantity q,
                  Canvas& canvas, DiagramStyle style = {}, int firstSpan = 1, int lastSpan = 0);

}  // namespace cbeam
