#pragma once

#include "canvas/canvas.h"

namespace cbeam {

// A stretch of a wider canvas: the drawings see a canvas `fullWidth` units
// wide, and what they draw lands on `inner` shifted left by `left`, so that
// `inner` shows the stretch from `left` on. Reports that stretch as the
// visible part, so that drawings can leave out what lies beyond it.
class ViewCanvas : public Canvas {
  public:
    ViewCanvas(Canvas& inner, double fullWidth, double left)
        : m_inner(inner), m_full(fullWidth), m_left(left) {}

    double ScaleWidth() const override { return m_full; }
    double ScaleHeight() const override { return m_inner.ScaleHeight(); }
    void Clear() override { m_inner.Clear(); }
    void Line(float x1, float y1, float x2, float y2) override {
        m_inner.Line(X(x1), y1, X(x2), y2);
    }
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override {
        m_inner.Line(X(x1), y1, X(x2), y2, colour);
    }
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override {
        m_inner.Box(X(x1), y1, X(x2), y2, colour);
    }
    void Circle(float x, float y, float r) override { m_inner.Circle(X(x), y, r); }
    void Print(float x, float y, std::string_view text) override { m_inner.Print(X(x), y, text); }
    DeviceScale Resolution() const override { return m_inner.Resolution(); }
    DeviceScale LabelScale() const override { return m_inner.LabelScale(); }
    XRange Visible() const override { return {m_left, m_left + m_inner.ScaleWidth()}; }
    double TextWidth(std::string_view text) const override { return m_inner.TextWidth(text); }

  private:
    float X(float x) const { return static_cast<float>(static_cast<double>(x) - m_left); }

    Canvas& m_inner;
    double m_full, m_left;
};

}  // namespace cbeam
