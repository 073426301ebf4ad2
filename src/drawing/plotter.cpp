#include "drawing/plotter.h"

#include <algorithm>
#include <cmath>

#include "drawing/layout.h"
#include "text/format.h"

namespace cbeam::drawing_detail {
namespace {

float F(double v) {
    return static_cast<float>(v);
}

// Pictures wider than this are not looked at pixel by pixel.
constexpr double kMaxColumns = 1 << 16;

// What a symbol or a hatch line reaches beyond its x, in canvas units.
constexpr double kSymbolReach = 300;

bool Usable(DeviceScale s) {
    return s.x > 0 && s.y > 0 && std::isfinite(s.x) && std::isfinite(s.y);
}

}  // namespace

Plotter::Plotter(Canvas& canvas)
    : m_canvas(canvas), m_scale(canvas.Resolution()), m_labelScale(canvas.LabelScale()) {
    const XRange seen = canvas.Visible();
    const double width = canvas.ScaleWidth();
    if (std::isfinite(seen.left) && std::isfinite(seen.right) && seen.left < seen.right) {
        m_seenLeft = seen.left - kSymbolReach;
        m_seenRight = seen.right + kSymbolReach;
    }
    // The pixel columns looked at are those of the visible stretch.
    const double from = std::isfinite(m_seenLeft) ? std::max(0.0, seen.left) : 0.0;
    const double to = std::isfinite(m_seenRight) ? std::min(width, seen.right) : width;
    const double columns = (to - from) * m_scale.x;
    const double rows = canvas.ScaleHeight() * m_scale.y;
    m_lod = Usable(m_scale) && columns >= 1 && columns <= kMaxColumns && rows >= 1 &&
            rows <= kMaxColumns;
    if (m_lod) {
        m_columns = static_cast<int>(std::ceil(columns));
        m_rows = rows;
        m_origin = from * m_scale.x;
    }
    m_allRows = Usable(m_labelScale) && std::isfinite(width * m_labelScale.x);
    if (!m_allRows) m_labelScale = m_scale;
    m_apart = m_allRows || m_lod;
    m_labelRows = canvas.ScaleHeight() * m_labelScale.y;
    m_labelColumns = width * m_labelScale.x;
    m_labelRight = m_labelColumns / m_labelScale.x;
}

Plotter::~Plotter() {
    if (m_offCurves) PlaceOffCurves();
    std::vector<Held> late;
    for (Held& h : m_held) {
        const Extent e = ExtentOf(h.text);
        if (!Room(h.row, h.left, h.top, e.width)) continue;
        Keep(h.row, h.left, h.top, e);
        late.push_back(std::move(h));
    }
    // The label that stopped the last symbol: the next few of a long beam
    // are mostly stopped by it too.
    const Box2* cover = nullptr;
    for (const UnderLabels& u : m_under) {
        // Most of a long beam's symbols share a column with one drawn
        // before: they would be left out whatever the labels.
        if (m_lod && Seen(u.kind, u.x)) continue;
        const Box2 b{(u.x - u.half) * m_labelScale.x, (u.x + u.half) * m_labelScale.x,
                     u.top * m_labelScale.y, u.bottom * m_labelScale.y};
        if (cover != nullptr && Overlap(*cover, b)) continue;
        bool lasting = false;
        if (const Box2* c = CoversLabel(b, lasting)) {
            if (lasting) cover = c;
            continue;
        }
        Symbol(u.kind, u.x, u.draw);
    }
    const auto print = [this](const Held& h) {
        if (Fits(h.left)) m_canvas.Print(F(h.left), F(h.top), h.text);
    };
    for (const Held& h : m_shown) print(h);
    for (const Held& h : late) print(h);
}

const Plotter::Box2* Plotter::CoversLabel(const Box2& b, bool& lasting) const {
    for (const Row& r : m_labels) {
        const auto end = std::make_reverse_iterator(r.kept.StartingBefore(b.right));
        for (auto it = end; it != r.kept.boxes.rend(); ++it) {
            if (!m_offCurves && it->right < b.left - r.widest) break;
            if (Overlap(*it, b)) {
                // In a row in order, or looked at whole, the search stops
                // short of no box that a symbol's box reaches.
                lasting = m_offCurves || r.kept.inOrder;
                return &*it;
            }
        }
    }
    return nullptr;
}

// Hatch lines closer than this many device pixels read as a solid band.
constexpr double kHatchApart = 3;

void Plotter::Apart(int kind, double width) {
    if (kind < 0 || !(width > 0)) return;
    if (m_spacing.size() <= static_cast<std::size_t>(kind)) m_spacing.resize(kind + 1);
    m_spacing[kind].width = width;
}

bool Plotter::Spaced(int kind, double x) {
    if (kind < 0 || static_cast<std::size_t>(kind) >= m_spacing.size()) return true;
    Spacing& s = m_spacing[kind];
    // Symbols come from left to right; one further left starts afresh.
    if (s.width > 0 && x >= s.last && x - s.last < s.width) return false;
    s.last = x;
    return true;
}

bool Plotter::HatchRoom(double x) {
    const double column = x * m_scale.x;
    if (!std::isfinite(column)) return true;
    if (column >= m_lastHatch && column - m_lastHatch < kHatchApart) return false;
    m_lastHatch = column;
    return true;
}

void Plotter::Yield(int row) {
    if (row < 0) return;
    if (m_yields.size() <= static_cast<std::size_t>(row)) m_yields.resize(row + 1);
    m_yields[row] = true;
}

Plotter::Extent Plotter::ExtentOf(std::string_view text) const {
    const double lead = kCharWidth * static_cast<double>(CountChars(text)) / 2;
    const double measured = m_canvas.TextWidth(text);
    if (std::isfinite(measured) && measured > 0) return {lead, measured};
    // A canvas without a font: a Chinese character is about twice as wide
    // as a digit or a Latin letter.
    double width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;
        width += c >= 0xE0 ? 2 * kCharWidth : kCharWidth;
    }
    return {lead, width};
}

Plotter::Extent Plotter::LastExtent(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= m_labels.size()) return {};
    return m_labels[row].last;
}

void Plotter::Box(double x1, double y1, double x2, double y2, Rgb colour) {
    if (Beyond(x1, x2)) return;
    if (!Fits(x1) || !Fits(y1) || !Fits(x2) || !Fits(y2)) return;
    m_canvas.Box(F(x1), F(y1), F(x2), F(y2), colour);
}

void Plotter::Circle(double x, double y, double r) {
    if (Beyond(x - std::fabs(r), x + std::fabs(r))) return;
    if (!Fits(x) || !Fits(y) || !Fits(r)) return;
    m_canvas.Circle(F(x), F(y), F(r));
}

void Plotter::PrintCentred(double centreX, double top, std::string_view text) {
    const double left = LabelLeft(centreX, text);
    if (!Fits(left) || !Fits(top)) return;
    m_canvas.Print(F(left), F(top), text);
}

bool Plotter::FirstOfKind(int kind, int column) {
    if (m_kinds.size() <= static_cast<std::size_t>(kind)) m_kinds.resize(kind + 1);
    std::vector<std::uint8_t>& seen = m_kinds[kind];
    if (seen.empty()) seen.resize(m_columns);
    seen[column] = true;
    return true;
}

bool Plotter::Reaches(double x1, double y1, double x2, double y2) {
    const int c = Cell(x1 * m_scale.x - m_origin, m_columns);
    if (c < 0 || c != Cell(x2 * m_scale.x - m_origin, m_columns)) return true;
    const double d1 = y1 * m_scale.y, d2 = y2 * m_scale.y;
    if (!std::isfinite(d1) || !std::isfinite(d2)) return true;
    const int lo = static_cast<int>(std::floor(std::clamp(std::min(d1, d2), -1.0, m_rows + 1)));
    const int hi = static_cast<int>(std::floor(std::clamp(std::max(d1, d2), -1.0, m_rows + 1)));
    if (m_reached.empty()) m_reached.resize(m_columns);
    Span& r = m_reached[c];
    if (r.lo <= lo && hi <= r.hi) return false;
    if (lo <= r.hi + 1 && hi >= r.lo - 1) {
        r = {std::min(r.lo, lo), std::max(r.hi, hi)};
    } else {
        r = {lo, hi};
    }
    return true;
}

void Plotter::Rule(int kind, double x1, double x2, double y) {
    if (Beyond(x1, x2)) return;
    if (m_lod && kind >= 0) {
        const double a = std::min(x1, x2) * m_scale.x - m_origin;
        const double b = std::max(x1, x2) * m_scale.x - m_origin;
        if (std::isfinite(a) && std::isfinite(b)) {
            const int lo = static_cast<int>(std::floor(std::clamp(a, -1.0, m_columns + 1.0)));
            const int hi = static_cast<int>(std::floor(std::clamp(b, -1.0, m_columns + 1.0)));
            if (m_ruled.size() <= static_cast<std::size_t>(kind)) m_ruled.resize(kind + 1);
            Span& r = m_ruled[kind];
            if (r.lo <= lo && hi <= r.hi) return;
            if (lo <= r.hi + 1 && hi >= r.lo - 1) {
                r = {std::min(r.lo, lo), std::max(r.hi, hi)};
            } else {
                r = {lo, hi};
            }
        }
    }
    Line(x1, y, x2, y);
}

bool Plotter::Room(int row, double left, double top, double width, bool held) {
    if (row < 0) return true;
    if (m_labels.size() <= static_cast<std::size_t>(row)) m_labels.resize(row + 1);
    const Box2 b = LabelBox(left, top, width);
    // Wholly above or below the picture, it would show nothing.
    if (!(b.top < m_labelRows) || !(b.bottom > 0)) return false;
    // Labels arrive from left to right: only the last few can be in the way.
    // (Labels moved off the curves are few, and need not come in order.)
    const auto clear = [&b, this](const Boxes& row, double widest) {
        const auto end = std::make_reverse_iterator(row.StartingBefore(b.right + kLabelGap));
        for (auto it = end; it != row.boxes.rend(); ++it) {
            if (!m_offCurves && it->left < b.left - widest) break;
            if (it->left < b.right + kLabelGap && b.left - kLabelGap < it->right &&
                it->top < b.bottom && b.top < it->bottom) {
                return false;
            }
        }
        return true;
    };
    // In a crowded picture most labels are stopped by the last one of their
    // own row: that one is looked at first.
    const Row& own = m_labels[row];
    if (held && !clear(own.held, own.widest)) return false;
    if (!clear(own.kept, own.widest)) return false;
    if (!m_allRows) return true;
    for (std::size_t i = 0; i < m_labels.size(); ++i) {
        if (i != static_cast<std::size_t>(row) && !clear(m_labels[i].kept, m_labels[i].widest))
            return false;
    }
    return true;
}

void Plotter::Keep(int row, double left, double top, Extent e, bool held) {
    if (row < 0) return;
    if (m_labels.size() <= static_cast<std::size_t>(row)) m_labels.resize(row + 1);
    Row& r = m_labels[row];
    const Box2 b = LabelBox(left, top, e.width);
    (held ? r.held : r.kept).Add(b);
    r.last = e;
    r.widest = std::max(r.widest, b.right - b.left);
}

void Plotter::Boxes::Add(const Box2& b) {
    if (!(b.left >= (boxes.empty() ? -HUGE_VAL : boxes.back().left))) inOrder = false;
    boxes.push_back(b);
}

std::vector<Plotter::Box2>::const_iterator Plotter::Boxes::StartingBefore(double right) const {
    // A long beam's labels are thousands: the symbols and the labels of
    // later rows look only at those near them.
    if (!inOrder || std::isnan(right)) return boxes.end();
    if (boxes.empty() || boxes.back().left < right) return boxes.end();
    return std::partition_point(boxes.begin(), boxes.end(),
                                [right](const Box2& k) { return k.left < right; });
}

void Plotter::NoteCurve(double x1, double y1, double x2, double y2) {
    const Segment g{x1 * m_labelScale.x, y1 * m_labelScale.y, x2 * m_labelScale.x,
                    y2 * m_labelScale.y};
    if (std::isfinite(g.x1) && std::isfinite(g.y1) && std::isfinite(g.x2) && std::isfinite(g.y2))
        m_curves.push_back(g);
}

// A pixel of clearance: a label touching a curve reads as crossed by it.
constexpr double kCurveClearance = 1;

bool Plotter::CrossesCurve(const Box2& b) const {
    const double left = b.left - kCurveClearance, right = b.right + kCurveClearance;
    const double top = b.top - kCurveClearance, bottom = b.bottom + kCurveClearance;
    for (const Segment& g : m_curves) {
        if (std::max(g.x1, g.x2) < left || std::min(g.x1, g.x2) > right) continue;
        if (std::max(g.y1, g.y2) < top || std::min(g.y1, g.y2) > bottom) continue;
        // The part of the segment within the box's columns (Liang-Barsky).
        double t0 = 0, t1 = 1;
        const double dx = g.x2 - g.x1, dy = g.y2 - g.y1;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {g.x1 - left, right - g.x1, g.y1 - top, bottom - g.y1};
        bool inside = true;
        for (int i = 0; i < 4 && inside; ++i) {
            if (p[i] == 0) {
                inside = q[i] >= 0;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0) t0 = std::max(t0, t);
            if (p[i] > 0) t1 = std::min(t1, t);
            inside = t0 <= t1;
        }
        if (inside) return true;
    }
    return false;
}

void Plotter::PlaceOffCurves() {
    // Where to try, nearest first: a few label heights up and down, a few
    // widths of a character aside.
    struct Offset {
        double dx, dy, cost;
    };
    std::vector<Offset> offsets;
    const double height = kLabelHeight * m_labelScale.x;  // pixels
    for (int i = -4; i <= 4; ++i) {
        for (int j = -12; j <= 12; ++j) {
            const double dx = i * kCharWidth * m_labelScale.x, dy = j * height / 4;
            offsets.push_back({dx, dy, std::fabs(dx) + std::fabs(dy)});
        }
    }
    std::stable_sort(offsets.begin(), offsets.end(),
                     [](const Offset& a, const Offset& b) { return a.cost < b.cost; });
    for (const bool yielding : {false, true}) {
        for (Wanted& w : m_placed) {
            if (w.yields != yielding) continue;
            const Extent e = ExtentOf(w.text);
            for (const Offset& o : offsets) {
                const double left = Inside(w.centreX - e.lead + o.dx / m_labelScale.x, e.width);
                const double top = w.top + o.dy / m_labelScale.y;
                const Box2 b = LabelBox(left, top, e.width);
                // Wholly inside the picture: the sheet clips its drawings.
                if (b.top < 0 || b.bottom > m_labelRows) continue;
                if (!Room(w.row, left, top, e.width) || CrossesCurve(b)) continue;
                Keep(w.row, left, top, e);
                m_shown.push_back({w.row, left, top, std::move(w.text)});
                break;
            }
        }
    }
    m_placed.clear();
}

}  // namespace cbeam::drawing_detail
