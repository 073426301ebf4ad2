#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "model/beam.h"

// Where the two drawings put things: scales, reference lines, node positions
// and label anchors, worked out from the beam and the canvas size alone.
namespace cbeam {

struct PixelSize {
    int width = 0, height = 0;
};

// The drawing areas of the input window's picture boxes (inside their
// borders), in logical pixels. The window and the command line both draw on
// these, so that a listing shows what the window shows.
constexpr PixelSize kSchematicPixels{573, 109};
constexpr PixelSize kDiagramPixels{573, 157};

// Twips per vertical unit of the diagram's canvas; the schematic's is 1.
constexpr double kDiagramTwipsPerUnit = 1.1325;

// Horizontal distance of the diagram's hatch lines and parabola samples.
constexpr std::int32_t kHatchSpacing = 100;

// Margin left and right of the beam, and the width assumed per character
// of a label.
constexpr double kMargin = 600;
constexpr double kCharWidth = 100;

// A picture of `px` logical pixels in canvas units (twips across,
// `twipsPerVerticalUnit` twips per unit down).
struct CanvasSize {
    double width = 0, height = 0;
};
CanvasSize ScaleOf(PixelSize px, double twipsPerVerticalUnit);

// The x-mapping of the beam over a canvas of width W: node i at kx * d + x0,
// d the length of the spans before it, x0 = kMargin.
struct XMapping {
    std::int32_t xR = 0;
    double Ltot = 0;
    double kx = 0;
};
// Empty when the canvas is too narrow or the lengths give no usable scale.
std::optional<XMapping> BeamXMapping(const DesignBeam& s, double W);

// The x of every node 1..N+1, the lengths added up one by one from the left.
std::vector<double> NodeXs(const DesignBeam& s, const XMapping& m);

// The left edge of a label centred on centreX.
double LabelLeft(double centreX, std::string_view text);

struct SchematicLayout {
    XMapping x;
    double y0 = 0;  // upper edge of the bar
    double xE = 0;  // right end of the beam, xR but for rounding
};
// Empty when there is nothing to draw.
std::optional<SchematicLayout> LayOutSchematic(const DesignBeam& s, double W, double H);

// Moments inside span i that the diagram draws or scales by.
struct SpanMoments {
    double Mp = 0;  // under a point load
    double Mc = 0;  // at the end of a uniform load
    double Mm = 0;  // in the middle of a uniform load
    double v = 0;   // what counts for the scale
};
SpanMoments SpanMomentsOf(const DesignState& s, int i);

struct DiagramLayout {
    XMapping x;
    double h = 0;     // ordinate of the largest moment
    double y0 = 0;    // the axis
    double ds = 0;    // step of hatch lines and parabola samples, m
    double Mmax = 0;  // largest moment taken into account
    double ky = 0;    // canvas units per kN·m

    double Y(double m) const { return y0 - ky * m; }
    // Top of the label of node k's moment m; a zero moment stands above the
    // axis except at the last node.
    double NodeLabelTop(double m, bool lastNode) const {
        const bool above = lastNode ? m > 0 : m >= 0;
        return above ? Y(m) - 150 : Y(m) + 30;
    }
};
// Empty when the beam or the canvas gives no usable scale; `hatchSpacing`
// in canvas units; the scale fits moments up to at least `largest` (kN·m).
std::optional<DiagramLayout> LayOutDiagram(const DesignState& s, double W, double H,
                                           std::int32_t hatchSpacing, double largest = 0);

}  // namespace cbeam
