#pragma once

#include "canvas/canvas.h"
#include "model/beam.h"
#include "model/design.h"

namespace cbeam {

// Where a drawn beam is a stretch of a longer one that goes on beyond an
// end: that end sits on an interior support, not on an end support.
struct Continues {
    bool left = false, right = false;
};

// What the calculation sheet asks of the diagrams beyond the windows' way.
struct DiagramStyle {
    // Values with 3 decimals, as the sheet prints every value, instead of
    // the windows' own (moments 5, shears 2, deflections 3).
    bool threeDecimals = false;
    // The vertical scale fits values up to at least this, so that the rows
    // a long beam is drawn in share one scale.
    double largest = 0;
    // Labels keep off the curves: on paper, a value crossed by a line
    // cannot be read, and a label may move a little from its point.
    bool labelsOffCurves = false;
};

// The beam schematic: bar, supports, dimension line, labels and loads.
// Never clears the canvas.
void ReDrawAll(const DesignBeam& s, Canvas& canvas, Continues continues = {});

// A frame around span `span` (1..N) from top to bottom of a drawing of the
// beam over this canvas (the schematic or any diagram share the x-mapping):
// the span chosen in the window. Not part of any drawing's own primitives.
void MarkSpan(const DesignBeam& s, int span, Canvas& canvas);

// The bending-moment diagram of the last analysis. Never clears the canvas.
void DrawM(const DesignState& s, Canvas& canvas, DiagramStyle style = {});

// The shear-force diagram of a solved beam over the whole canvas width:
// positive shear above the axis, each span's end shears labelled. `design`
// is ComputeDesignValues of the same state. Never clears the canvas.
void DrawV(const DesignState& s, const DesignValues& design, Canvas& canvas,
           DiagramStyle style = {});

// The deflection curve of a solved beam, downward deflection below the axis,
// each span's largest deflection labelled where it occurs. Never clears the
// canvas.
// Its values have 3 decimals either way.
void DrawW(const DesignState& s, const DesignValues& design, Canvas& canvas,
           DiagramStyle style = {});

}  // namespace cbeam
