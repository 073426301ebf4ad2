#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "canvas/canvas.h"
#include "model/beam.h"

// Shared by the schematic and the diagram; not part of the drawing interface.
namespace cbeam::drawing_detail {

// Hands double-precision coordinates to a canvas as single-precision ones,
// the way both drawings do. A primitive with a coordinate that is not a
// finite float (a zero-length span divides by zero, a wild moment overflows)
// is dropped rather than handed on.
class Plotter {
  public:
    explicit Plotter(Canvas& canvas) : m_canvas(canvas) {}

    // Lines come by the hundred thousand for a long beam: kept inline.
    void Line(double x1, double y1, double x2, double y2) {
        if (!Fits(x1) || !Fits(y1) || !Fits(x2) || !Fits(y2)) return;
        m_canvas.Line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                      static_cast<float>(y2));
    }
    void Line(double x1, double y1, double x2, double y2, Rgb colour) {
        if (!Fits(x1) || !Fits(y1) || !Fits(x2) || !Fits(y2)) return;
        m_canvas.Line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                      static_cast<float>(y2), colour);
    }
    void Box(double x1, double y1, double x2, double y2, Rgb colour);
    void Circle(double x, double y, double r);
    // A label of the given row: its text, made by makeText() only when the
    // canvas wants the label, is printed with its left edge at centreX minus
    // 100 units per character / 2.
    template <class MakeText>
    void Label(int row, double centreX, double top, MakeText makeText) {
        if (!Fits(centreX) || !Fits(top)) return;
        if (!m_canvas.WantsLabel(row, static_cast<float>(centreX), static_cast<float>(top))) {
            return;
        }
        PrintCentred(centreX, top, makeText());
    }

    // A finite number that a float can hold (NaN fails the comparison).
    static bool Fits(double v) { return std::fabs(v) <= FLT_MAX; }

  private:
    void PrintCentred(double centreX, double top, std::string_view text);

    Canvas& m_canvas;
};

// Characters, not bytes, of UTF-8 text.
int CountChars(std::string_view utf8);

// The x-mapping of the beam over a canvas of width W; empty when the canvas
// is too narrow or the lengths give no usable scale.
struct XMapping {
    std::int32_t xR = 0;
    double Ltot = 0;
    double kx = 0;
};
std::optional<XMapping> BeamXMapping(const BeamState& s, double W);

// Rounds a canvas quantity to a 32-bit integer, halves to even; empty when it
// is not finite or out of range.
std::optional<std::int32_t> RoundToInt(double v);

// True when the canvas height can be used at all.
bool UsableHeight(double H);

}  // namespace cbeam::drawing_detail
