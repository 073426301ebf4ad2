#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/canvas.h"

// Shared by the schematic and the diagram; not part of the drawing interface.
namespace cbeam::drawing_detail {

// The drawings' two colours: outlines, and the diagrams' curves and hatching.
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kDiagram{50, 50, 255};

// Hands double-precision coordinates to a canvas as single-precision ones,
// the way both drawings do. A primitive with a coordinate that is not a
// finite float (a zero-length span divides by zero, a wild moment overflows)
// is dropped rather than handed on.
//
// On a canvas with a resolution, a beam of thousands of spans puts dozens of
// symbols, hatch lines and labels on every pixel column. What would only
// paint the same pixels again is left out here, and crowded labels are left
// out before their text is made: the canvas then gets about as many
// primitives as the picture has columns, not as the beam has spans. A canvas
// without a resolution gets everything.
//
// On a canvas that reports a visible stretch, what lies wholly beyond it is
// dropped before anything else is worked out, so that a zoomed picture of a
// long beam costs what its visible spans cost.
//
// On a canvas that people read (a label scale), a label is moved inside the
// left and right edges and left out where it would cover any label of the
// drawing already kept; labels of rows that yield are kept last. There a
// symbol is also left out where it would cover the last one of its kind, and
// a hatch line where it would stand too close to the last one, so that a beam
// of thousands of spans is a readable picture rather than a band of ink.
class Plotter {
  public:
    explicit Plotter(Canvas& canvas);
    // Prints the labels held back for yielding rows.
    ~Plotter();
    Plotter(const Plotter&) = delete;
    Plotter& operator=(const Plotter&) = delete;

    // Labels of this row give way to those of the other rows.
    void Yield(int row);
    // On a canvas that people read, symbols of this kind stand at least
    // `width` canvas units apart.
    void Apart(int kind, double width);
    // A canvas that people read: it may get what only helps a reader.
    bool Readable() const { return m_allRows; }

    // Lines come by the hundred thousand for a long beam: kept inline.
    void Line(double x1, double y1, double x2, double y2) {
        if (Beyond(x1, x2)) return;
        if (!Fits(x1) || !Fits(y1) || !Fits(x2) || !Fits(y2)) return;
        m_canvas.Line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                      static_cast<float>(y2));
    }
    void Line(double x1, double y1, double x2, double y2, Rgb colour) {
        if (Beyond(x1, x2)) return;
        if (!Fits(x1) || !Fits(y1) || !Fits(x2) || !Fits(y2)) return;
        m_canvas.Line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                      static_cast<float>(y2), colour);
    }
    void Box(double x1, double y1, double x2, double y2, Rgb colour);
    void Circle(double x, double y, double r);

    // A symbol whose shape depends on its x alone (draw(x) draws it): of one
    // kind, one per pixel column.
    template <class Draw>
    void Symbol(int kind, double x, Draw draw) {
        if (Beyond(x, x)) return;
        if (m_lod && !FirstInColumn(kind, x)) return;
        if (m_allRows && !Spaced(kind, x)) return;
        draw(x);
    }
    // A symbol that gives way to labels: on a canvas that people read it is
    // drawn, once every label has its place, only where what it reaches
    // (x - half to x + half, top to bottom) covers no label.
    template <class Draw>
    void Under(int kind, double x, double half, double top, double bottom, Draw draw) {
        if (!m_allRows) return Symbol(kind, x, draw);
        if (Beyond(x, x)) return;
        m_under.push_back({kind, x, half, top, bottom, std::function<void(double)>(draw)});
    }
    // A diagram line in `colour` (always the same one): the outline between
    // two ordinates, or a hatch line from an ordinate to the axis. Where it
    // stays inside one pixel column, it is drawn only when it reaches rows of
    // that column that no earlier one reached.
    void Stroke(double x1, double y1, double x2, double y2, Rgb colour) {
        if (m_offCurves) NoteCurve(x1, y1, x2, y2);
        Draw(x1, y1, x2, y2, colour);
    }
    // A hatch line at x from y to the axis at y0: a Stroke that, on a canvas
    // that people read, keeps a few pixels from the last hatch line.
    void Hatch(double x, double y, double y0, Rgb colour) {
        if (Beyond(x, x)) return;
        if (m_allRows && m_lod && !HatchRoom(x)) return;
        Draw(x, y, x, y0, colour);
    }
    // A horizontal line in the foreground colour; of one kind, drawn only
    // when it reaches columns that the earlier ones did not.
    void Rule(int kind, double x1, double x2, double y);

    // A label of the given row: its text, made by makeText() only when the
    // picture can show the label apart from the labels of its row shown
    // before, is printed with its left edge at centreX minus kCharWidth per
    // character / 2. Whether it stands apart is judged by the width the
    // canvas measures for it.
    // On a canvas that people read, a label that would not lie wholly within
    // `within` is left out.
    template <class MakeText>
    void Label(int row, double centreX, double top, MakeText makeText, XRange within = {}) {
        if (!Fits(centreX) || !Fits(top)) return;
        if (!m_apart) {
            PrintCentred(centreX, top, makeText());
            return;
        }
        if (Beyond(centreX - kFarLabel, centreX + kFarLabel)) return;
        // A label that yields is held back, and so stands clear of those of
        // its row held before it: a long beam's texts are made only for the
        // labels that may show, not for every span.
        const bool yields = m_allRows && Yields(row);
        if (m_offCurves) {
            m_placed.push_back({row, centreX, top, makeText(), yields});
            return;
        }
        // A stretch narrower than nothing takes no label, however narrow:
        // a long beam's spans are mostly such.
        if (within.left > within.right) return;
        const Extent last = LastExtent(row);
        const double lastLeft = Inside(centreX - last.lead, last.width);
        if (Crowded(row, lastLeft, top, last.width, yields)) return;
        if (!Room(row, lastLeft, top, last.width, yields)) return;
        std::string text = makeText();
        const Extent e = ExtentOf(text);
        const double left = Inside(centreX - e.lead, e.width);
        if (left < within.left || left + e.width > within.right) return;
        if (!Room(row, left, top, e.width, yields)) return;
        Keep(row, left, top, e, yields);
        (yields ? m_held : m_shown).push_back({row, left, top, std::move(text)});
    }
    // On a canvas that people read, the labels keep off the lines drawn by
    // Stroke (the curves, not their hatching): one is moved a little where
    // it would cross one, and left out only where no place near it is clear.
    void LabelsOffCurves() { m_offCurves = m_allRows; }
    // A line drawn otherwise that such labels keep off as well.
    void KeepOff(double x1, double y1, double x2, double y2) {
        if (m_offCurves) NoteCurve(x1, y1, x2, y2);
    }

    // A finite number that a float can hold (NaN fails the comparison).
    static bool Fits(double v) { return std::fabs(v) <= FLT_MAX; }

  private:
    // Half the width of the widest label, in canvas units.
    static constexpr double kFarLabel = 3000;
    // Wholly beyond the visible stretch, with room for a symbol's reach.
    bool Beyond(double x1, double x2) const {
        return std::max(x1, x2) < m_seenLeft || std::min(x1, x2) > m_seenRight;
    }
    void Draw(double x1, double y1, double x2, double y2, Rgb colour) {
        if (Beyond(x1, x2)) return;
        if (m_lod && !Reaches(x1, y1, x2, y2)) return;
        Line(x1, y1, x2, y2, colour);
    }
    bool Yields(int row) const {
        return row >= 0 && static_cast<std::size_t>(row) < m_yields.size() && m_yields[row];
    }
    // Where a label's left edge is printed, from its centre, and how wide it
    // is, in canvas units.
    struct Extent {
        double lead = 0, width = 0;
    };
    Extent ExtentOf(std::string_view text) const;
    Extent LastExtent(int row) const;
    // The left edge moved so that a label this wide stays inside the left
    // and right edges.
    double Inside(double left, double width) const {
        if (!m_allRows) return left;
        if (left + width > m_labelRight) left = m_labelRight - width;
        if (left < 0) left = 0;
        return left;
    }

    struct Span {
        int lo = 1, hi = 0;  // empty
    };
    struct Box2 {
        double left, right, top, bottom;  // device pixels
    };

    void PrintCentred(double centreX, double top, std::string_view text);
    // A device coordinate as a pixel index, or -1 when it is off the picture.
    static int Cell(double v, int count) {
        if (!(v >= 0) || !(v < count)) return -1;
        return static_cast<int>(v);
    }
    // Whether a symbol of this kind was drawn in x's column (FirstInColumn
    // would say no), noting nothing.
    bool Seen(int kind, double x) const {
        const int c = Cell(x * m_scale.x - m_origin, m_columns);
        if (c < 0 || kind < 0 || m_kinds.size() <= static_cast<std::size_t>(kind)) return false;
        const std::vector<std::uint8_t>& seen = m_kinds[kind];
        return !seen.empty() && seen[c];
    }
    // Asked for every symbol of a long beam, and mostly answered no.
    bool FirstInColumn(int kind, double x) {
        const int c = Cell(x * m_scale.x - m_origin, m_columns);
        if (c < 0 || kind < 0) return true;
        if (static_cast<std::size_t>(kind) < m_kinds.size() && !m_kinds[kind].empty() &&
            m_kinds[kind][c])
            return false;
        return FirstOfKind(kind, c);
    }
    // Notes the column as taken by a symbol of this kind.
    bool FirstOfKind(int kind, int column);
    bool Spaced(int kind, double x);
    bool HatchRoom(double x);
    bool Reaches(double x1, double y1, double x2, double y2);
    // Whether a label `width` wide from `left` would stand clear of the
    // row's labels kept so far (and, with `held`, of those held back), and
    // inside the picture's height.
    bool Room(int row, double left, double top, double width, bool held = false);
    // The height a label takes on the picture: a line of the canvas font,
    // about 16 pixels, in twips.
    static constexpr double kLabelHeight = 16 * kTwipsPerPixel;
    // Labels of a crowded row closer than this many pixels read as one.
    static constexpr double kLabelGap = 2;
    Box2 LabelBox(double left, double top, double width) const {
        const double x = left * m_labelScale.x, y = top * m_labelScale.y;
        return {x, x + width * m_labelScale.x, y, y + kLabelHeight * m_labelScale.x};
    }
    // Whether the last label of the row (of those held back, with `held`)
    // stands in the way of one `width` wide from `left`: Room would say no.
    // Most labels of a long beam are stopped there.
    bool Crowded(int row, double left, double top, double width, bool held) const {
        if (row < 0 || static_cast<std::size_t>(row) >= m_labels.size()) return false;
        const Row& r = m_labels[row];
        const std::vector<Box2>& own = held ? r.held.boxes : r.kept.boxes;
        if (own.empty()) return false;
        const Box2 b = LabelBox(left, top, width);
        const Box2& k = own.back();
        // Room stops looking at a box this far left.
        if (!m_offCurves && k.left < b.left - r.widest) return false;
        return k.left < b.right + kLabelGap && b.left - kLabelGap < k.right && k.top < b.bottom &&
               b.top < k.bottom;
    }
    // Notes a label as shown (or, with `held`, as held back) in its row.
    void Keep(int row, double left, double top, Extent e, bool held = false);
    void NoteCurve(double x1, double y1, double x2, double y2);
    bool CrossesCurve(const Box2& b) const;
    // Places the labels kept off the curves, the yielding rows' last.
    void PlaceOffCurves();

    Canvas& m_canvas;
    DeviceScale m_scale;
    DeviceScale m_labelScale;  // labels are kept apart on this scale
    bool m_lod = false;
    bool m_apart = false;    // labels kept apart, at least within their row
    bool m_allRows = false;  // ... from every label of the drawing, inside the edges
    double m_seenLeft = -HUGE_VAL, m_seenRight = HUGE_VAL;
    double m_origin = 0;  // device column of the first pixel column
    double m_labelRows = 0, m_labelColumns = 0;
    double m_labelRight = 0;  // the right edge, in canvas units
    std::vector<bool> m_yields;
    struct Held {
        int row;
        double left, top;
        std::string text;
    };
    struct UnderLabels {
        int kind;
        double x, half, top, bottom;
        std::function<void(double)> draw;
    };
    std::vector<UnderLabels> m_under;
    // The label box that `b` covers, if any; `lasting` when that box is
    // found for any box that covers it.
    const Box2* CoversLabel(const Box2& b, bool& lasting) const;
    static bool Overlap(const Box2& a, const Box2& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    }
    bool m_offCurves = false;
    struct Wanted {
        int row;
        double centreX, top;
        std::string text;
        bool yields;
    };
    std::vector<Wanted> m_placed;
    struct Segment {
        double x1, y1, x2, y2;  // label-scale pixels
    };
    std::vector<Segment> m_curves;
    std::vector<Held> m_held;
    // Labels kept apart are printed last, over the lines: in a crowded
    // picture the hatching of the spans that follow would cover them.
    std::vector<Held> m_shown;
    int m_columns = 0;
    double m_rows = 0;
    // Per symbol kind, per column; bytes, not bits: asked for every symbol.
    std::vector<std::vector<std::uint8_t>> m_kinds;
    struct Spacing {
        double width = 0;         // canvas units; 0: any
        double last = -HUGE_VAL;  // x of the last one drawn
    };
    std::vector<Spacing> m_spacing;  // per symbol kind
    double m_lastHatch = -HUGE_VAL;  // device column
    std::vector<Span> m_reached;     // per column, rows of diagram lines
    std::vector<Span> m_ruled;       // per rule kind, columns
    // Label boxes of a row, and whether they came in the order of their
    // left edges (they do, but for labels moved off the curves).
    struct Boxes {
        std::vector<Box2> boxes;
        bool inOrder = true;
        void Add(const Box2& b);
        // The end of those that start left of `right`: none after it could
        // reach a box that ends there.
        std::vector<Box2>::const_iterator StartingBefore(double right) const;
    };
    struct Row {
        Boxes kept, held;
        Extent last;
        double widest = 0;
    };
    std::vector<Row> m_labels;
};

// Lines of one hatch run or samples of one parabola. A normal picture needs
// one per 100 units of canvas width; only a step that has become a vanishing
// fraction of its stretch comes near this.
constexpr double kMaxSteps = 100000;

// Calls f(u) for u = u1, u1 + ds, ... while u <= u2, each u the previous one
// plus ds, so that the last u lands on u2 only when the additions do. When
// ds is too small a part of the stretch, the stretch is divided into
// kMaxSteps equal steps instead.
template <class F>
void Steps(double u1, double u2, double ds, F f) {
    if (!std::isfinite(u1) || !std::isfinite(u2) || !(ds > 0)) return;
    double step = ds;
    if ((u2 - u1) / ds > kMaxSteps) step = (u2 - u1) / kMaxSteps;
    int count = 0;
    for (double u = u1; u <= u2 && count <= kMaxSteps; u += step, ++count) {
        f(u);
        if (u + step == u) break;  // no progress left at this magnitude
    }
}

// Steps of ds along points (ascending in their member u), straight between
// them as the curve through them is drawn: f(u, a, b, t), a and b the points
// on either side of u and t its share of the way from a to b.
template <class Points, class F>
void StepsAlong(const Points& points, double ds, F f) {
    std::size_t i = 0;
    Steps(points.front().u, points.back().u, ds, [&](double u) {
        while (i + 2 < points.size() && points[i + 1].u < u) ++i;
        const auto& a = points[i];
        const auto& b = points[std::min(i + 1, points.size() - 1)];
        const double t = b.u > a.u ? std::clamp((u - a.u) / (b.u - a.u), 0.0, 1.0) : 1.0;
        f(u, a, b, t);
    });
}

// The curve through points (x, y(point)), closed down to the axis y0 at both ends.
template <class Points, class X, class Y>
void StrokeToAxis(Plotter& p, const Points& points, double y0, X x, Y y, Rgb colour) {
    double px = x(points.front()), py = y0;
    for (const auto& pt : points) {
        p.Stroke(px, py, x(pt), y(pt), colour);
        px = x(pt), py = y(pt);
    }
    p.Stroke(px, py, px, y0, colour);
}

}  // namespace cbeam::drawing_detail
