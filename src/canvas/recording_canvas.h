#pragma once

#include <string>
#include <vector>

#include "canvas/canvas.h"

namespace cbeam {

// One primitive as a drawing handed it to the canvas.
struct Primitive {
    enum class Kind { Line, Box, Circle, Text };
    Kind kind = Kind::Line;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Circle: centre in x1, y1
    float r = 0;                           // Circle only
    bool hasColour = false;                // Line: false = foreground colour; Box: always true
    Rgb colour;
    std::string text;  // Text only

    bool operator==(const Primitive&) const = default;
};

// Keeps every primitive in the order it arrived; draws nothing. Used by the
// tests and by the command-line listing of a drawing.
class RecordingCanvas : public Canvas {
  public:
    RecordingCanvas() = default;
    RecordingCanvas(double scaleWidth, double scaleHeight)
        : m_width(scaleWidth), m_height(scaleHeight) {}

    void SetScale(double scaleWidth, double scaleHeight) {
        m_width = scaleWidth;
        m_height = scaleHeight;
    }

    double ScaleWidth() const override { return m_width; }
    double ScaleHeight() const override { return m_height; }
    void Clear() override {
        m_items.clear();
        ++m_clears;
    }
    void Line(float x1, float y1, float x2, float y2) override;
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Circle(float x, float y, float r) override;
    void Print(float x, float y, std::string_view text) override;

    const std::vector<Primitive>& Items() const { return m_items; }
    int Clears() const { return m_clears; }

  private:
    double m_width = 0;
    double m_height = 0;
    std::vector<Primitive> m_items;
    int m_clears = 0;
};

// One line of the listing: "line x1 y1 x2 y2[ r g b]", "box x1 y1 x2 y2 r g b",
// "circle x y r" or "text x y \"...\"", numbers with up to 9 significant digits.
std::string ListLine(const Primitive& p);

// Every primitive, one line each, each ended by a newline.
std::string ListPrimitives(const std::vector<Primitive>& items);

}  // namespace cbeam
