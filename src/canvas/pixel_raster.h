#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace cbeam {

// Sets one-pixel lines and circle outlines straight into 32-bit pixels,
// without smoothing, coordinates in device pixels. A refresh of the window
// hands the image a few thousand such primitives for a long beam, and
// QPainter spends about a microsecond on each one however small; this
// takes a tenth of that. Anything reaching off the pixels is cut to them.
class PixelRaster {
  public:
    // The pixels to draw on: w x h, `stride` pixels from one row to the next.
    void Attach(std::uint32_t* bits, int w, int h, int stride) {
        m_bits = bits, m_w = w, m_h = h, m_stride = stride;
    }
    void Detach() { m_bits = nullptr; }
    bool Attached() const { return m_bits != nullptr; }

    // Both end pixels included.
    void Line(double x1, double y1, double x2, double y2, std::uint32_t pixel);
    void Circle(double cx, double cy, double r, std::uint32_t pixel);

  private:
    void Plot(int x, int y, std::uint32_t pixel) {
        if (x < 0 || y < 0 || x >= m_w || y >= m_h) return;
        m_bits[static_cast<std::ptrdiff_t>(y) * m_stride + x] = pixel;
    }
    void PixelLine(int ax, int ay, int bx, int by, std::uint32_t pixel);

    std::uint32_t* m_bits = nullptr;
    int m_w = 0, m_h = 0, m_stride = 0;
    std::vector<std::pair<int, int>> m_ring;  // pixels of a circle around (0, 0)
    int m_ringRadius = -1;
};

}  // namespace cbeam
