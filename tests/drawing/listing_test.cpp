// The layout of both drawings as numbers (scales, reference lines, nodes), the exact primitives the
// drawings hand a recording canvas, and their guards. The golden listings pin the three-span beam
// whole; the layout rows add halves that must round to even and the diagram's scales.
// What the shear-force diagram and the deflection curve hand one.
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

TEST(Layout, Schematic) {
    // clang-format off
    const struct { const char* name; Spans spans; double W, H; std::int32_t xR; double kx, y0;
                   std::vector<double> nodes; } rows[] = {
        {"y0 half to even", {{4}, {6}, {5}}, 8595, 1665, 7995, 493, 632, {600, 2572, 5530, 7995}},
        {"xR half to even", {{1}}, 8600.5, 2080, 8000, 7400, 840, {600, 8000}},
        {"two spans", {{4}, {6}}, 8600, 2080, 8000, 740, 840, {600, 3560, 8000}}};
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const BeamState s = Beam(r.spans);
        const auto lay = LayOutSchematic(s, r.W, r.H);
        ASSERT_TRUE(lay.has_value());
        EXPECT_EQ(std::tuple(lay->x.xR, lay->x.kx, lay->y0), std::tuple(r.xR, r.kx, r.y0));
        EXPECT_NEAR(lay->xE, r.xR, 1e-6);
        EXPECT_EQ(NodeXs(s, lay->x), r.nodes);
    }
}

TEST(Layout, Diagram) {
    // clang-format off
    const struct { const char* name; Spans spans; std::vector<double> M;  // nodes 1..N+1
                   double H, h, y0, kx, Mmax, largest = 0; } rows[] = {
        {"y0 half down to even", {{4}, {6}}, {0, 50, 0}, 2079, 679, 940, 740, 50},
        {"y0 half up to even", {{4}, {6}}, {0, 50, 0}, 2081, 681, 940, 740, 50},
        // the mean of the end moments counts, not the moment under the load
        {"point load off centre", {{4, 1, 2, 10, 0.25}}, {-2, 2}, 2080, 680, 940, 1850, 7.5},
        {"half uniform load", {{4, 1, 1, 10, 0.5}}, {0, 0}, 2080, 680, 940, 1850, 10},
        {"no moments at all", {{4}}, {0, 0}, 2080, 680, 940, 1850, 0},
        // a row of a longer beam drawn to the whole beam's scale
        {"a larger moment elsewhere", {{4}, {6}}, {0, 50, 0}, 2080, 680, 940, 740, 80, -80},
        {"a smaller one elsewhere", {{4}, {6}}, {0, 50, 0}, 2080, 680, 940, 740, 50, 30}};
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        BeamState s = Beam(r.spans);
        EXPECT_FALSE(LayOutDiagram(s, 1200, r.H, kHatchSpacing).has_value());  // too narrow
        for (std::size_t k = 0; k < r.M.size(); ++k) s.M(static_cast<int>(k) + 1) = r.M[k];
        const auto lay = LayOutDiagram(s, 8600, r.H, kHatchSpacing, r.largest);
        ASSERT_TRUE(lay.has_value());
        EXPECT_EQ(std::tuple(lay->h, lay->y0, lay->x.kx, lay->Mmax),
                  std::tuple(r.h, r.y0, r.kx, r.Mmax));
    }
}

// The file's three spans on the window's canvases; pinned ends, loads at
// a = 0 and a = 1, rigidities 2 and 0.5 and an unloaded span on small ones.
TEST(Drawings, GoldenListings) {
    const double diagramH = ScaleOf(kDiagramPixels, kDiagramTwipsPerUnit).height;
    // clang-format off
    const struct { const char* name; bool fromFile, schematic; double W, H; } rows[] = {
        {"three_span_schematic", true, true, 8595, 1635},
        {"three_span_diagram", true, false, 8595, diagramH},
        {"pinned_schematic", false, true, 3000, 1500}, {"pinned_diagram", false, false, 3000, 1800}};
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        BeamState s = Beam({{3, 2, 1, 12, 0}, {1, 0.5, 2, 8, 1}, {2}});
        if (r.fromFile) s = BeamState(), LoadBeamFile(CBEAM_TEST_DATA "/draw_three_span.bmf", s);
        ASSERT_TRUE(RunAnalysis(s).status);
        EXPECT_EQ(ListPrimitives(Record(s, r.schematic, r.W, r.H)),
                  testing::ReadAll(std::string(CBEAM_TEST_DATA "/drawing/") + r.name + ".txt"));
    }
}

// A stretch cut from a longer beam (a row of the calculation sheet) stands on
// interior supports where it goes on, whatever the outer end is.
TEST(Drawings, EndSupports) {
    const struct {
        const char* name;
        short flag;
        bool goesOn;
        long circles, walls;
    } rows[] = {{"fixed", kTrue, false, 0, 1},
                {"pinned", kFalse, false, 1, 0},
                {"goes on past a fixed end", kTrue, true, 2, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        BeamState s = Beam({{1}, {1}});
        s.Flag0 = r.flag;
        RecordingCanvas c(8600, 2000);
        ReDrawAll(s, c, Continues{.left = r.goesOn});
        const auto at = [&](Primitive::Kind k, float x) {
            return std::ranges::count_if(c.Items(),
                                         [&](auto& p) { return p.kind == k && p.x1 == x; });
        };
        EXPECT_EQ(at(Primitive::Kind::Circle, 600), r.circles);
        EXPECT_EQ(at(Primitive::Kind::Box, 590), r.walls);
        EXPECT_EQ(at(Primitive::Kind::Box, 8000 - 90), 1) << "the right end stays pinned";
    }
}

// Invariants that do not hold must neither hang nor hand on a bad coordinate;
// "schematic" and "diagram": whether each is drawn at all.
TEST(Drawings, GuardAgainstUnusableInput) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = INFINITY;
    const testing::SpanInput loaded{4, 1, 1, 5, 1};
    // clang-format off
    const struct { const char* name; Spans spans; double W, m2; bool schematic, diagram; } rows[] = {
        {"NaN canvas", {loaded}, nan, 1, false, false},
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
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        BeamState s = Beam(r.spans);
        s.M(2) = r.m2;
        for (const bool schematic : {true, false}) {
            Items items;
            EXPECT_LT(Seconds([&] { items = Record(s, schematic, r.W, 2080); }), 5.0);
            EXPECT_EQ(!items.empty(), schematic ? r.schematic : r.diagram) << schematic;
            EXPECT_LE(items.size(), 250000u);
            for (const Primitive& p : items)
                EXPECT_TRUE(std::isfinite(p.x1 + p.y1 + p.x2 + p.y2 + p.r)) << ListLine(p);
        }
    }
}

// The shear-force diagram and the deflection curve.
// The labels and the diagram lines (blue) a drawing gives.
struct Drawn {
    std::vector<Primitive> labels, lines;
    Drawn(decltype(&DrawV) draw, BeamState& s, double W, DeviceScale res = {}) {
        EXPECT_TRUE(RunAnalysis(s).status);
        PixelRecording c(W, 2000, res);
        draw(s, ComputeDesignValues(s), c, {});
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
    EXPECT_EQ(std::tuple(d.lines[0].x1, d.lines[0].y1), std::tuple(600.0f, 1000.0f));
    EXPECT_LT(d.lines[0].y2, 1000);
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

}  // namespace
}  // namespace cbeam::test
