// The exact primitives the drawings hand a recording canvas, and their guards;
// what the shear-force diagram and the deflection curve hand one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "drawing/layout.h"
#include "drawing_test_util.h"
#include "files/bmf.h"
#include "model/driver.h"
#include "text/format.h"

namespace cbeam::test {
namespace {

// The file's three spans on the window's canvases; pinned ends, loads at
// a = 0 and a = 1, rigidities 2 and 0.5 and an unloaded span on small ones.
TEST(Drawings, GoldenListings) {
    const struct {
        const char* name;
        bool fromFile, schematic;
        double W, H;
    } rows[] = {{"three_span_schematic", true, true, 8595, 1635},
                {"three_span_diagram", true, false, 8595,
                 ScaleOf(kDiagramPixels, kDiagramTwipsPerUnit).height},
                {"pinned_schematic", false, true, 3000, 1500},
                {"pinned_diagram", false, false, 3000, 1800}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        BeamState s = Beam({{3, 2, 1, 12, 0}, {1, 0.5, 2, 8, 1}, {2}});
        if (r.fromFile) s = BeamState(), LoadBeamFile(CBEAM_TEST_DATA "/draw_three_span.bmf", s);
        ASSERT_TRUE(RunAnalysis(s).status);
        EXPECT_EQ(ListPrimitives(Record(s, r.schematic, r.W, r.H)),
                  testing::ReadAll(std::string(CBEAM_TEST_DATA "/drawing/") + r.name + ".txt"));
    }
}

// Arrow rows (shafts from y0 - 200 = 600 down to the bar) and diagram lines.
TEST(Drawings, UniformLoadArrowsAndDiagramLines) {
    const struct {
        const char* name;
        Spans spans;
        double W;
        long arrows, lines;  // lines: 4 m on 7350 units (W = 8550)
    } rows[] = {{"full span, 2000 wide", {{1, 1, 1, 5, 1}}, 3200, 16, 2 * 74 + 2},
                {"half of 3000 wide", {{1, 1, 1, 5, 0.5}}, 4200, 8, 2 * 37 + 2 + 37 + 1},
                {"a = 0", {{1, 1, 1, 5, 0}}, 4200, 1, 1 + 1 + 74 + 1},
                {"point load at a = 0", {{1, 1, 2, 5, 0}}, 4200, 1, 1 + 1 + 74 + 1},
                {"narrower than its spacing", {{1}, {1e-6, 1, 1, 5, 1}}, 8600, 16, -1},
                {"zero-length span", {{1}, {0, 1, 1, 5, 1}}, 8600, 16, -1},
                {"wild fraction", {{1}, {1, 1, 1, 5, 1e12}}, 8600, 4096, -1}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        BeamState s = Beam(r.spans);
        const Items schematic = Record(s, true, r.W, 2000);
        EXPECT_EQ(std::count_if(schematic.begin(), schematic.end(),
                                [](const Primitive& p) { return p.y1 == 600 && p.y2 == 800; }),
                  r.arrows);
        if (r.lines < 0) continue;
        s.M(1) = s.M(2) = 40.0 / 3;
        const Items diagram = Record(s, false, 8550, 2080);
        EXPECT_EQ(std::count_if(diagram.begin(), diagram.end(),
                                [](const Primitive& p) {
                                    return p.colour == Rgb{50, 50, 255};
                                }),
                  r.lines);
    }
}

// Invariants that do not hold must neither hang nor hand on a bad coordinate.
TEST(Drawings, GuardAgainstUnusableInput) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const testing::SpanInput loaded{4, 1, 1, 5, 1};
    const struct {
        const char* name;
        Spans spans;
        double W, m2;
        bool schematic, diagram;  // drawn at all
    } rows[] = {{"NaN canvas", {loaded}, nan, 1, false, false},
                {"canvas 1200 wide", {loaded}, 1200, 1, false, false},
                {"huge canvas", {loaded}, 1e300, 1, false, false},
                {"no total length", {{0, 1, 1, 5, 1}}, 8600, 1, false, false},
                {"NaN moment", {loaded}, 8600, nan, true, false},
                {"infinite length", {loaded, {inf}}, 8600, 1, false, false},
                {"subnormal total length", {{5e-324, 1, 1, 1, 1}}, 8600, 1, false, false},
                {"infinite load", {{4, 1, 1, inf, 1}}, 8600, 1, true, false},
                {"subnormal moment", {{4}}, 8600, 5e-324, true, true},
                {"tiny span", {{1}, {1e-300, 1, 1, 5, 1}}, 8600, 1, true, true},
                {"negative span", {{2}, {-1, 1, 1, 5, 1}}, 8600, 1, true, true},
                {"vanishing hatch step", {{1}}, 5e8, 1, true, true},
                {"vanishing parabola step", {loaded}, 5e8, 1, true, true}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        BeamState s = Beam(r.spans);
        s.M(2) = r.m2;
        for (const bool schematic : {true, false}) {
            Items items;
            EXPECT_LT(Seconds([&] { items = Record(s, schematic, r.W, 2080); }), 5.0);
            EXPECT_EQ(!items.empty(), schematic ? r.schematic : r.diagram) << schematic;
            EXPECT_LE(items.size(), 250000u);
            for (const Primitive& p : items) {
                EXPECT_TRUE(std::isfinite(p.x1 + p.y1 + p.x2 + p.y2 + p.r)) << ListLine(p);
            }
        }
    }
}

TEST(Drawings, ListingQuotesLabels) {
    RecordingCanvas c(8600, 2080);
    c.Line(600, 940, 2000.0f / 15, -0.5f);
    c.Print(0, 0, "say \"hi\"\\\n第1跨");
    EXPECT_EQ(ListPrimitives(c.Items()),
              "line 600 940 133.333328 -0.5\ntext 0 0 \"say \\\"hi\\\"\\\\\\n第1跨\"\n");
}

// The shear-force diagram and the deflection curve.
// The labels and the diagram lines (blue) a drawing gives.
struct Drawn {
    std::vector<Primitive> labels, lines;
    Drawn(decltype(&DrawV) draw, BeamState& s, double W, DeviceScale res = {}) {
        EXPECT_TRUE(RunAnalysis(s).status);
        PixelRecording c(W, 2000, res);
        draw(s, ComputeDesignValues(s), c);
        for (const Primitive& p : c.Items()) {
            if (p.kind == Primitive::Kind::Text) labels.push_back(p);
            if (p.kind == Primitive::Kind::Line && p.hasColour) lines.push_back(p);
        }
    }
};

// Two spans of 8 m under 10 kN/m, pinned: end shears 30 and 50 kN, the
// first drawn up from the axis (y 1000) at the left end (x 600).
TEST(DesignDiagrams, ShearLabelsEveryEndShearAndDrawsPositiveUp) {
    BeamState s = Beam({{8, 1, 1, 10, 1}, {8, 1, 1, 10, 1}});
    const Drawn d(DrawV, s, 6000);
    std::string texts;
    for (const Primitive& p : d.labels) texts += p.text + ' ';
    EXPECT_EQ(texts, "30.00kN -50.00kN 50.00kN -30.00kN ");
    ASSERT_FALSE(d.lines.empty());
    EXPECT_TRUE(d.lines[0].x1 == 600 && d.lines[0].y1 == 1000 && d.lines[0].y2 < 1000);
}

// Each span's largest deflection is labelled below the axis, just under the
// deepest point of its curve.
TEST(DesignDiagrams, DeflectionLabelsEachSpansPeakWhereTheCurveReachesIt) {
    BeamState s = Beam({{6, 1, 2, 20, 0.3}, {4}, {5, 1, 1, 10, 0.5}});
    const Drawn d(DrawW, s, 7000);
    const DesignValues v = ComputeDesignValues(s);
    ASSERT_EQ(d.labels.size(), 3u);
    float deepest = 0;  // on span 1, which ends at x 600 + 6 m * 6400 / 15 m
    for (const Primitive& p : d.lines) deepest = std::max({deepest, p.x1 < 3160 ? p.y2 : 0.0f});
    EXPECT_EQ(d.labels[0].text, Format(v.spans[0].w, "#####0.000") + "mm");
    EXPECT_FLOAT_EQ(d.labels[0].y1 - 30, deepest);
    EXPECT_EQ(d.labels[2].text, Format(v.spans[2].w, "#####0.000") + "mm");
}

// On a picture, crowded labels are left out rather than printed over each other.
TEST(DesignDiagrams, LabelsOnAPictureStandApart) {
    Spans spans;
    for (int k = 0; k < 300; ++k) spans.push_back({1.0 + k % 3, 1, 1 + k % 2, 5.0 + k % 7, 0.6});
    for (const auto draw : {&DrawV, &DrawW}) {
        BeamState s = Beam(spans);
        const std::vector<Primitive> l = Drawn(draw, s, 8595, {1 / 15.0, 1 / 15.0}).labels;
        EXPECT_GT(l.size(), 5u);
        for (std::size_t i = 0; i < l.size(); ++i) {
            for (std::size_t j = 0; j < i; ++j) {
                EXPECT_TRUE(l[i].x1 + 100 * CountChars(l[i].text) <= l[j].x1 ||
                            l[j].x1 + 100 * CountChars(l[j].text) <= l[i].x1 ||
                            std::fabs(l[i].y1 - l[j].y1) >= 240)
                    << l[i].text << " over " << l[j].text << (draw == &DrawV ? " (shear)" : "");
            }
        }
    }
}

}  // namespace
}  // namespace cbeam::test
