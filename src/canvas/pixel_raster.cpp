#include "canvas/pixel_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace cbeam {
namespace {

// Pixel index of a device coordinate, kept within int range.
int Cell(double v) {
    constexpr double kFar = 1e8;
    if (std::isnan(v)) return std::numeric_limits<int>::min();
    return static_cast<int>(std::floor(std::clamp(v, -kFar, kFar)));
}

bool Finite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

}  // namespace

// A segment reaching outside is first cut to the pixels (with one to spare),
// so that a line running far off costs no more than one crossing them.
void PixelRaster::Line(double x1, double y1, double x2, double y2, std::uint32_t pixel) {
    if (!m_bits || !Finite(x1, y1, x2, y2)) return;
    const double left = -1, top = -1, right = m_w + 1, bottom = m_h + 1;
    const auto code = [&](double x, double y) {
        return (x < left ? 1 : x > right ? 2 : 0) | (y < top ? 4 : y > bottom ? 8 : 0);
    };
    // Cohen-Sutherland: an end outside is moved onto the border it crosses,
    // the border coordinate set exactly, so that far-off ends lose nothing
    // to cancellation.
    int c1 = code(x1, y1), c2 = code(x2, y2);
    for (int round = 0; round < 8 && (c1 | c2) != 0; ++round) {
        if ((c1 & c2) != 0) return;
        const int c = c1 != 0 ? c1 : c2;
        double x = 0, y = 0;
        if (c & 1) {
            y = y1 + (y2 - y1) * ((left - x1) / (x2 - x1)), x = left;
        } else if (c & 2) {
            y = y1 + (y2 - y1) * ((right - x1) / (x2 - x1)), x = right;
        } else if (c & 4) {
            x = x1 + (x2 - x1) * ((top - y1) / (y2 - y1)), y = top;
        } else {
            x = x1 + (x2 - x1) * ((bottom - y1) / (y2 - y1)), y = bottom;
        }
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        if (c == c1) {
            x1 = x, y1 = y, c1 = code(x1, y1);
        } else {
            x2 = x, y2 = y, c2 = code(x2, y2);
        }
    }
    if ((c1 | c2) != 0) return;
    PixelLine(Cell(x1), Cell(y1), Cell(x2), Cell(y2), pixel);
}

void PixelRaster::PixelLine(int ax, int ay, int bx, int by, std::uint32_t pixel) {
    if (ax == bx && ax >= 0 && ax < m_w) {
        const int y1 = std::max(std::min(ay, by), 0), y2 = std::min(std::max(ay, by), m_h - 1);
        std::uint32_t* p = m_bits + static_cast<std::ptrdiff_t>(y1) * m_stride + ax;
        for (int y = y1; y <= y2; ++y, p += m_stride) *p = pixel;
        return;
    }
    // Bresenham, both ends included.
    const int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    const int ex = std::abs(bx - ax), ey = -std::abs(by - ay);
    int err = ex + ey;
    for (;;) {
        Plot(ax, ay, pixel);
        if (ax == bx && ay == by) break;
        const int e2 = 2 * err;
        if (e2 >= ey) err += ey, ax += sx;
        if (e2 <= ex) err += ex, ay += sy;
    }
}

// The midpoint circle; its pixels around the centre are worked out once
// per radius.
void PixelRaster::Circle(double cxd, double cyd, double rd, std::uint32_t pixel) {
    if (!m_bits || !Finite(cxd, cyd, rd, 0)) return;
    // A circle far larger than the picture is no symbol of these drawings;
    // leaving it out keeps its pixel count bounded.
    const double far = 2.0 * (m_w + m_h);
    rd = std::fabs(rd);
    if (!(rd <= far) || std::fabs(cxd) > 2 * far || std::fabs(cyd) > 2 * far) return;
    const int cx = Cell(cxd), cy = Cell(cyd);
    const int radius = static_cast<int>(std::lround(rd));
    if (radius != m_ringRadius) {
        m_ring.clear();
        m_ringRadius = radius;
        int px = radius, py = 0, err = 1 - radius;
        while (px >= py) {
            for (const auto& p : {std::pair{px, py},
                                  {-px, py},
                                  {px, -py},
                                  {-px, -py},
                                  {py, px},
                                  {-py, px},
                                  {py, -px},
                                  {-py, -px}}) {
                m_ring.push_back(p);
            }
            ++py;
            if (err < 0) {
                err += 2 * py + 1;
            } else {
                --px;
                err += 2 * (py - px) + 1;
            }
        }
        std::sort(m_ring.begin(), m_ring.end());
        m_ring.erase(std::unique(m_ring.begin(), m_ring.end()), m_ring.end());
    }
    for (const auto& [u, v] : m_ring) Plot(cx + u, cy + v, pixel);
}

}  // namespace cbeam
