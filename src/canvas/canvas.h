#pragma once

#include <cmath>
#include <cstdint>
#include <string_view>

namespace cbeam {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Canvas units are twips, 1/1440 inch: 15 to a pixel at 96 dots per inch.
constexpr double kTwipsPerPixel = 15.0;

struct DeviceScale {
    double x = 0, y = 0;
};

// A stretch of x in canvas units.
struct XRange {
    double left = -HUGE_VAL, right = HUGE_VAL;
};

// A drawing area in its own units: origin at the top-left corner of the
// inner area, x to the right, y downward. Coordinates arrive as
// single-precision numbers, as the drawings hand them over.
class Canvas {
  public:
    virtual ~Canvas() = default;
    virtual double ScaleWidth() const = 0;   // inner width in canvas units
    virtual double ScaleHeight() const = 0;  // inner height in canvas units
    virtual void Clear() = 0;
    // A line in the foreground colour.
    virtual void Line(float x1, float y1, float x2, float y2) = 0;
    // A line in its own colour.
    virtual void Line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    // Outline of the axis-parallel rectangle with these corners.
    virtual void Box(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    // Outline of a circle in the foreground colour; r in horizontal units.
    virtual void Circle(float x, float y, float r) = 0;
    // UTF-8 text with its top-left corner at (x, y), transparent background.
    virtual void Print(float x, float y, std::string_view text) = 0;
    // Device pixels per canvas unit, horizontally and vertically, for a
    // canvas that ends up as pixels. The drawings leave out what would land
    // on pixels already drawn, and labels the picture could not show apart.
    // A canvas without a resolution (0) is handed every primitive.
    virtual DeviceScale Resolution() const { return {}; }
    // Device pixels per canvas unit of a canvas that people read: its labels
    // are kept clear of one another and inside its left and right edges (0:
    // every label goes where the drawing puts it).
    virtual DeviceScale LabelScale() const { return {}; }
    // The part of the canvas that will be seen; what lies wholly outside it
    // may be left out.
    virtual XRange Visible() const { return {}; }
    // The width of `text` as this canvas prints it, in horizontal canvas
    // units, for a canvas that knows its font; 0 where it does not, and the
    // drawings estimate.
    virtual double TextWidth(std::string_view /*text*/) const { return 0; }
};

}  // namespace cbeam
