#include "canvas/painter_canvas.h"

#include <QFontMetricsF>
#include <QPen>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <limits>

namespace cbeam {
namespace {

QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// One pixel wide at any scale: the picture boxes draw with the platform's
// default line.
QPen OnePixel(const QColor& colour) {
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    return pen;
}

// Held-back lines are drawn at the latest when this many have gathered.
constexpr std::size_t kMaxPending = 8192;

}  // namespace

QtCanvas::QtCanvas(QSize logicalSize, double twipsPerVerticalUnit)
    : m_size(logicalSize),
      m_vertical(std::isfinite(twipsPerVerticalUnit) && twipsPerVerticalUnit > 0
                     ? twipsPerVerticalUnit
                     : 1.0),
      m_font(DefaultFont()) {}

QtCanvas::~QtCanvas() = default;

QFont QtCanvas::DefaultFont() {
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    return font;
}

void QtCanvas::SetFont(const QFont& font) {
    m_font = font;
    m_ascentKnown = false;
    ++m_fontSerial;
}

double QtCanvas::ScaleWidth() const {
    return m_size.width() * kTwipsPerPixel;
}

double QtCanvas::ScaleHeight() const {
    return m_size.height() * kTwipsPerPixel / m_vertical;
}

QPointF QtCanvas::ToPixels(double x, double y) const {
    return {x / kTwipsPerPixel, y * m_vertical / kTwipsPerPixel};
}

void QtCanvas::Pend(const QLineF& line, const QColor& colour) {
    if (!m_pending.empty() && (colour != m_pendingColour || m_pending.size() >= kMaxPending)) {
        Flush();
    }
    m_pendingColour = colour;
    m_pending.push_back(line);
}

void QtCanvas::Flush() {
    if (m_pending.empty()) return;
    QPainter& p = Painter();
    if (p.isActive()) {
        p.setPen(OnePixel(m_pendingColour));
        p.drawLines(m_pending.data(), static_cast<int>(m_pending.size()));
    }
    m_pending.clear();
}

void QtCanvas::Line(float x1, float y1, float x2, float y2) {
    Pend(QLineF(ToPixels(x1, y1), ToPixels(x2, y2)), m_foreground);
}

void QtCanvas::Line(float x1, float y1, float x2, float y2, Rgb colour) {
    Pend(QLineF(ToPixels(x1, y1), ToPixels(x2, y2)), ToQColor(colour));
}

void QtCanvas::Box(float x1, float y1, float x2, float y2, Rgb colour) {
    Flush();
    QPainter& p = Painter();
    if (!p.isActive()) return;
    p.setPen(OnePixel(ToQColor(colour)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(ToPixels(x1, y1), ToPixels(x2, y2)).normalized());
}

void QtCanvas::Circle(float x, float y, float r) {
    Flush();
    QPainter& p = Painter();
    if (!p.isActive()) return;
    p.setPen(OnePixel(m_foreground));
    p.setBrush(Qt::NoBrush);
    const double radius = std::fabs(r) / kTwipsPerPixel;  // horizontal units: stays round
    p.drawEllipse(ToPixels(x, y), radius, radius);
}

void QtCanvas::Print(float x, float y, std::string_view text) {
    Flush();
    QPainter& p = Painter();
    if (!p.isActive()) return;
    if (!m_ascentKnown) {
        m_ascent = QFontMetricsF(m_font).ascent();
        m_ascentKnown = true;
    }
    p.setPen(m_foreground);
    p.setFont(m_font);
    p.setBackgroundMode(Qt::TransparentMode);
    const QPointF at = ToPixels(x, y);
    p.drawText(QPointF(at.x(), at.y() + m_ascent),
               QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

PainterCanvas::PainterCanvas(QSize logicalSize, double twipsPerVerticalUnit,
                             double devicePixelRatio)
    : QtCanvas(logicalSize, twipsPerVerticalUnit),
      m_dpr(std::isfinite(devicePixelRatio) && devicePixelRatio > 0 ? devicePixelRatio : 1.0) {
    if (logicalSize.width() > 0 && logicalSize.height() > 0) {
        const QSize device(static_cast<int>(std::ceil(logicalSize.width() * m_dpr)),
                           static_cast<int>(std::ceil(logicalSize.height() * m_dpr)));
        m_image = QImage(device, QImage::Format_ARGB32_Premultiplied);
        m_image.setDevicePixelRatio(m_dpr);
        m_image.fill(Background());
        m_w = m_image.width();
        m_h = m_image.height();
    }
    m_sx = m_dpr / kTwipsPerPixel;
    m_sy = TwipsPerVerticalUnit() / kTwipsPerPixel * m_dpr;
    for (int& c : m_lastColumn) c = std::numeric_limits<int>::min();
}

PainterCanvas::~PainterCanvas() = default;

QPainter& PainterCanvas::Painter() {
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>();
        if (!m_image.isNull()) m_painter->begin(&m_image);
    }
    return *m_painter;
}

void PainterCanvas::End() {
    Flush();
    m_painter.reset();
}

std::uint32_t* PainterCanvas::Bits() {
    if (!m_bits && !m_image.isNull()) {
        m_bits = reinterpret_cast<std::uint32_t*>(m_image.bits());  // detaches from copies
        m_stride = static_cast<int>(m_image.bytesPerLine() / 4);
    }
    return m_bits;
}

void PainterCanvas::Clear() {
    DropPending();
    m_painter.reset();
    if (!m_image.isNull()) {
        Bits();
        m_image.fill(Background());
    }
    for (int& c : m_lastColumn) c = std::numeric_limits<int>::min();
    for (int& r : m_run) r = 0;
    for (bool& c : m_crowded) c = false;
    Forget();
}

const QImage& PainterCanvas::Image() {
    End();
    m_bits = nullptr;
    return m_image;
}

namespace {

std::uint32_t Opaque(Rgb c) {
    return 0xFF000000u | (c.r << 16) | (c.g << 8) | c.b;
}

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

void PainterCanvas::HLine(int x1, int x2, int y, std::uint32_t pixel) {
    if (x1 > x2) std::swap(x1, x2);
    if (y < 0 || y >= m_h) return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, m_w - 1);
    std::uint32_t* row = m_bits + static_cast<std::ptrdiff_t>(y) * m_stride;
    for (int x = x1; x <= x2; ++x) row[x] = pixel;
}

void PainterCanvas::VLine(int x, int y1, int y2, std::uint32_t pixel) {
    if (y1 > y2) std::swap(y1, y2);
    if (x < 0 || x >= m_w) return;
    y1 = std::max(y1, 0);
    y2 = std::min(y2, m_h - 1);
    std::uint32_t* p = m_bits + static_cast<std::ptrdiff_t>(y1) * m_stride + x;
    for (int y = y1; y <= y2; ++y, p += m_stride) *p = pixel;
}

// Both end pixels included. A segment reaching outside the image is first
// cut to it (with a pixel to spare), so that a line running far off costs no
// more than one crossing it.
void PainterCanvas::DeviceLine(double x1, double y1, double x2, double y2, std::uint32_t pixel) {
    if (!Bits()) return;
    const bool inside =
        x1 >= 0 && x1 < m_w && x2 >= 0 && x2 < m_w && y1 >= 0 && y1 < m_h && y2 >= 0 && y2 < m_h;
    if (inside) {
        return PixelLine(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2),
                         static_cast<int>(y2), pixel);
    }
    if (!Finite(x1, y1, x2, y2)) return;
    // Cohen-Sutherland: an end outside is moved onto the border it crosses,
    // the border coordinate set exactly, so that far-off ends lose nothing
    // to cancellation.
    const double left = -1, top = -1, right = m_w + 1, bottom = m_h + 1;
    const auto code = [&](double x, double y) {
        return (x < left ? 1 : x > right ? 2 : 0) | (y < top ? 4 : y > bottom ? 8 : 0);
    };
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

void PainterCanvas::PixelLine(int ax, int ay, int bx, int by, std::uint32_t pixel) {
    Touch(pixel);
    for (int i = 0; i < m_recentCount; ++i) {
        const PixelSegment& r = m_recent[i];
        if (r.ax == ax && r.ay == ay && r.bx == bx && r.by == by) return;
    }
    m_recent[m_recentNext] = {ax, ay, bx, by};
    m_recentNext = (m_recentNext + 1) % kRecent;
    m_recentCount = std::min(m_recentCount + 1, kRecent);

    if (ax == bx) return VLine(ax, ay, by, pixel);
    if (ay == by) return HLine(ax, bx, ay, pixel);
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

void PainterCanvas::Line(float x1, float y1, float x2, float y2) {
    DeviceLine(DX(x1), DY(y1), DX(x2), DY(y2), ForegroundPixel());
}

void PainterCanvas::Line(float x1, float y1, float x2, float y2, Rgb colour) {
    DeviceLine(DX(x1), DY(y1), DX(x2), DY(y2), Opaque(colour));
}

void PainterCanvas::Box(float x1, float y1, float x2, float y2, Rgb colour) {
    if (!Bits()) return;
    const double a = DX(x1), b = DY(y1), c = DX(x2), d = DY(y2);
    const std::uint32_t pixel = Opaque(colour);
    DeviceLine(a, b, c, b, pixel);
    DeviceLine(a, d, c, d, pixel);
    DeviceLine(a, b, a, d, pixel);
    DeviceLine(c, b, c, d, pixel);
}

// The midpoint circle. Its pixels, relative to the centre, are worked out
// once per radius; a circle set again where one of the last few stood, with
// nothing of another colour drawn since, changes nothing and is passed over.
void PainterCanvas::Circle(float x, float y, float r) {
    if (!Bits()) return;
    const double cxd = DX(x), cyd = DY(y);
    const double rd = std::fabs(static_cast<double>(r)) * m_sx;
    if (!Finite(cxd, cyd, rd, 0)) return;
    // A circle far larger than the picture is no symbol of these drawings;
    // leaving it out keeps its pixel count bounded.
    const double far = 2.0 * (m_w + m_h);
    if (!(rd <= far) || std::fabs(cxd) > 2 * far || std::fabs(cyd) > 2 * far) return;
    const int cx = Cell(cxd), cy = Cell(cyd);
    const int radius = static_cast<int>(std::lround(rd));
    const std::uint32_t pixel = ForegroundPixel();
    Touch(pixel);
    for (int i = 0; i < m_circleCount; ++i) {
        const PixelSegment& c = m_circles[i];
        if (c.ax == cx && c.ay == cy && c.bx == radius) return;
    }
    m_circles[m_circleNext] = {cx, cy, radius, 0};
    m_circleNext = (m_circleNext + 1) % kRecent;
    m_circleCount = std::min(m_circleCount + 1, kRecent);
    if (radius != m_ringRadius || m_ring.empty()) {
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
    if (cx - radius >= 0 && cy - radius >= 0 && cx + radius < m_w && cy + radius < m_h) {
        std::uint32_t* centre = m_bits + static_cast<std::ptrdiff_t>(cy) * m_stride + cx;
        for (const auto& [u, v] : m_ring)
            centre[static_cast<std::ptrdiff_t>(v) * m_stride + u] = pixel;
        return;
    }
    for (const auto& [u, v] : m_ring) Plot(cx + u, cy + v, pixel);
}

// Two labels of a row may share a pixel column in any beam (a load at the
// end of one span and one at the start of the next); more than two only
// where spans are narrower than a pixel. Next to a column that crowded, one
// label per column stands for all of them.
bool PainterCanvas::WantsLabel(int row, float centreX, float top) {
    // A label wholly above or below the image shows nothing.
    const double y = DY(top);
    SettleFont();
    if (!(y < m_h) || y + m_textHeight < 0 || !std::isfinite(centreX)) return false;
    if (row < 0 || row >= kRows) return true;
    const int column = Cell(DX(centreX));
    if (column == m_lastColumn[row]) {
        ++m_run[row];
    } else {
        m_crowded[row] = m_run[row] > 2;
        m_lastColumn[row] = column;
        m_run[row] = 1;
    }
    return m_run[row] <= (m_crowded[row] ? 1 : 2);
}

namespace {

// Characters that print one glyph each, left to right, without shaping:
// Latin, Greek, Cyrillic and the CJK blocks. Anything else goes to QPainter.
bool Simple(char32_t c) {
    return (c >= 0x20 && c < 0x0300) || (c >= 0x0370 && c < 0x0530) ||
           (c >= 0x2000 && c < 0x2070) || (c >= 0x2E80 && c < 0xA000) ||
           (c >= 0xAC00 && c < 0xD7A4) || (c >= 0xFF00 && c < 0xFFF0);
}

// Decodes UTF-8; false on a malformed sequence.
bool Decode(std::string_view text, std::vector<char32_t>& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F, extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F, extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07, extra = 3;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= text.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char n = static_cast<unsigned char>(text[i + k]);
            if ((n & 0xC0) != 0x80) return false;
            c = (c << 6) | (n & 0x3F);
        }
        out.push_back(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

}  // namespace

void PainterCanvas::SettleFont() {
    if (m_glyphFontSerial == FontSerial()) return;
    m_glyphs.clear();
    m_glyphFontSerial = FontSerial();
    const QFontMetricsF fm(Font());
    m_ascent = fm.ascent() * m_dpr;
    m_textHeight = fm.height() * m_dpr;
}

const PainterCanvas::Glyph* PainterCanvas::GlyphFor(char32_t c) {
    SettleFont();
    if (auto it = m_glyphs.find(c); it != m_glyphs.end()) return &it->second;

    const QString s = QString::fromUcs4(&c, 1);
    const QFont font = Font();
    const QFontMetricsF fm(font);
    const double pad = fm.height();
    const QSize size(static_cast<int>(std::ceil((fm.horizontalAdvance(s) + 2 * pad) * m_dpr)),
                     static_cast<int>(std::ceil((fm.height() + 2 * pad) * m_dpr)));
    QImage mask(size, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    mask.setDevicePixelRatio(m_dpr);
    const double baseline = std::ceil((pad + fm.ascent()) * m_dpr);  // device pixels
    {
        QPainter p(&mask);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPointF(pad, baseline / m_dpr), s);
    }
    // Keep only the rows and columns the glyph covers.
    int x0 = size.width(), y0 = size.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < size.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            if (qAlpha(row[x]) == 0) continue;
            x0 = std::min(x0, x), x1 = std::max(x1, x);
            y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    }
    Glyph g;
    g.advance = fm.horizontalAdvance(s) * m_dpr;
    if (x1 >= 0) {
        g.w = x1 - x0 + 1, g.h = y1 - y0 + 1;
        g.left = x0 - static_cast<int>(std::lround(pad * m_dpr));
        g.top = y0 - static_cast<int>(baseline);
        g.alpha.resize(static_cast<std::size_t>(g.w) * g.h);
        for (int y = 0; y < g.h; ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y0 + y));
            for (int x = 0; x < g.w; ++x) {
                g.alpha[static_cast<std::size_t>(y) * g.w + x] =
                    static_cast<std::uint8_t>(qAlpha(row[x0 + x]));
            }
        }
    }
    return &m_glyphs.emplace(c, std::move(g)).first->second;
}

namespace {

// Each 8-bit channel of a premultiplied pixel times a / 255, two channels
// per multiplication.
std::uint32_t ByteMul(std::uint32_t x, std::uint32_t a) {
    std::uint32_t t = (x & 0xff00ffu) * a;
    t = ((t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8) & 0xff00ffu;
    x = ((x >> 8) & 0xff00ffu) * a;
    x = (x + ((x >> 8) & 0xff00ffu) + 0x800080u) & 0xff00ff00u;
    return x | t;
}

}  // namespace

// Source-over of the glyph's coverage in the given premultiplied colour.
void PainterCanvas::Blend(const Glyph& g, int x, int y, QRgb src) {
    const bool opaque = qAlpha(src) == 255;
    const int left = x + g.left, top = y + g.top;
    const int i0 = std::max(0, -left), i1 = std::min(g.w, m_w - left);
    const int j0 = std::max(0, -top), j1 = std::min(g.h, m_h - top);
    for (int j = j0; j < j1; ++j) {
        std::uint32_t* row = m_bits + static_cast<std::ptrdiff_t>(top + j) * m_stride + left;
        const std::uint8_t* cov = g.alpha.data() + static_cast<std::size_t>(j) * g.w;
        for (int i = i0; i < i1; ++i) {
            const std::uint32_t c = cov[i];
            if (c == 0) continue;
            if (c == 255 && opaque) {
                row[i] = src;
                continue;
            }
            const std::uint32_t s = ByteMul(src, c);
            row[i] = s + ByteMul(row[i], 255 - qAlpha(s));
        }
    }
}

void PainterCanvas::Print(float x, float y, std::string_view text) {
    if (!Bits()) return;
    std::vector<char32_t> chars;
    const bool simple = Decode(text, chars) && std::all_of(chars.begin(), chars.end(), Simple);
    if (!simple) {
        // Scripts that need shaping go through QPainter as a whole.
        QtCanvas::Print(x, y, text);
        End();
        Forget();
        return;
    }
    double pen = DX(x);
    const double top = DY(y);
    if (!(std::fabs(pen) <= 1e8) || !(std::fabs(top) <= 1e8)) return;
    SettleFont();
    const int baseline = static_cast<int>(std::ceil(top + m_ascent));
    const QRgb colour = ForegroundPixel();
    Touch(colour);
    for (char32_t c : chars) {
        const Glyph* g = GlyphFor(c);
        if (!g->alpha.empty()) Blend(*g, static_cast<int>(std::lround(pen)), baseline, colour);
        pen += g->advance;
        if (pen > m_w + 1) break;
    }
}

}  // namespace cbeam
