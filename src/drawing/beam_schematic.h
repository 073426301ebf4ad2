#pragma once

#include "canvas/canvas.h"
#include "model/structure.h"

namespace cbeam {

// What the design window's schematic shows besides the beam itself.
struct SchematicOptions {
    // The load case whose loads are drawn (0-based into beam.cases); one out
    // of range draws the beam without loads rather than failing, since the
    // window may still hold the index of a case just deleted.
    int caseIndex = 0;
    // The span (1..N) or node (1..N+1) chosen in the window, marked as
    // MarkPlace marks it; 0: none.
    int markSpan = 0;
    int markNode = 0;
};

// The schematic of spans firstSpan..lastSpan (0: the last) of a general
// beam over the whole canvas width, the spans at their lengths and mapped
// exactly as DrawEnvelope and PlaceUnder map them, so that the envelopes
// drawn under it line up with it and a click on it finds its span: the bar,
// each node's support (a pinned one's triangle, a fixed one's hatched wall,
// a spring's zig-zag with its k, nothing at a free tip), the spans' numbers
// and lengths on a dimension line, and the loads of the chosen case above
// the bar with their values. Distributed loads are light shapes whose height
// follows their magnitude against the largest one drawn, stacked where they
// overlap on a span so that each stays readable. Labels go through the
// drawings' common plotter: on a crowded canvas fewer of them, never two on
// top of one another. The case's loads are looked at once whatever the
// stretch, so that a short stretch of a very long beam costs what its own
// spans cost. Never clears the canvas.
void DrawSchematic(const Beam& beam, Canvas& canvas, SchematicOptions options = {},
                   int firstSpan = 1, int lastSpan = 0);

// The place chosen in the window over any drawing of the same stretch (the
// schematic or an envelope share the x-mapping): a frame around span `span`
// from the top to the bottom of the canvas, or an upright marker at node
// `node`; 0 or one outside the stretch draws nothing of that part. A span of
// a fraction of a pixel still gets a frame that can be seen.
void MarkPlace(const Beam& beam, Canvas& canvas, int span, int node, int firstSpan, int lastSpan);

}  // namespace cbeam
