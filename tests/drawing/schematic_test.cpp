#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

#include "drawing_test_util.h"
#include "ui/input/drawing/drawings.h"

namespace cbeam {
namespace {

using test::Beam;
using test::FindText;
using test::Select;
using test::Texts;
using Kind = Primitive::Kind;

bool IsTick(const Primitive& p, float y0) {
    return p.kind == Kind::Line && !p.hasColour && p.x1 == p.x2 && p.y1 == y0 + 400 &&
           p.y2 == y0 + 600;
}

// Vertical shafts of load arrows: from y0 - 200 down onto the bar.
std::vector<Primitive> ArrowShafts(const std::vector<Primitive>& items, float y0) {
    return Select(items, [y0](const Primitive& p) {
        return p.kind == Kind::Line && p.x1 == p.x2 && p.y1 == y0 - 200 && p.y2 == y0;
    });
}

TEST(Schematic, ThreeSpansMapToTheCanvasWidth) {
    BeamState s = Beam({4, 6, 5});
    RecordingCanvas c(8595, 1635);
    ReDrawAll(s, c);
    ASSERT_FALSE(c.Items().empty());
    const float y0 = 618;
    const Primitive& bar = c.Items().front();
    EXPECT_EQ(bar.kind, Kind::Box);
    EXPECT_EQ(bar.colour, (Rgb{0, 0, 225}));
    EXPECT_EQ(bar.x1, 600);
    EXPECT_EQ(bar.y1, y0);
    EXPECT_EQ(bar.x2, 7995);
    EXPECT_EQ(bar.y2, y0 + 15);

    std::vector<float> ticks;
    for (const Primitive& p : c.Items()) {
        if (IsTick(p, y0)) ticks.push_back(p.x1);
    }
    EXPECT_EQ(ticks, (std::vector<float>{600, 2572, 5530, 7995}));

    // Interior supports at nodes 2 and 3 only: the ends are pinned-end symbols.
    const auto upper = Select(
        c.Items(), [y0](const Primitive& p) { return p.kind == Kind::Circle && p.y1 == y0 + 150; });
    ASSERT_EQ(upper.size(), 2u);
    EXPECT_EQ(upper[0].x1, 2572);
    EXPECT_EQ(upper[1].x1, 5530);
}

TEST(Schematic, BarHeightRoundsHalvesToEven) {
    const struct {
        double H;
        float y0;
    } cases[] = {{1635, 618}, {1665, 632}, {1695, 648}};
    for (const auto& k : cases) {
        BeamState s = Beam({2});
        RecordingCanvas c(8600, k.H);
        ReDrawAll(s, c);
        ASSERT_FALSE(c.Items().empty());
        EXPECT_EQ(c.Items().front().y1, k.y0) << k.H;
    }
}

TEST(Schematic, OneSpanPinnedUnloaded) {
    BeamState s = Beam({3});
    RecordingCanvas c(8600, 2000);
    ReDrawAll(s, c);
    const float y0 = 800;
    // bar, two pinned ends of 4 primitives, dimension line, two ticks, two labels
    EXPECT_EQ(c.Items().size(), 16u);
    for (const Primitive& p : c.Items()) EXPECT_GE(p.y1, y0) << ListLine(p);
    const auto circles =
        Select(c.Items(), [](const Primitive& p) { return p.kind == Kind::Circle; });
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ(circles[0].x1, 600);
    EXPECT_EQ(circles[1].x1, 8000);
    EXPECT_EQ(circles[0].y1, y0 + 30);
    EXPECT_EQ(circles[0].r, 30);
    EXPECT_NE(FindText(c.Items(), "3.00M"), nullptr);
}

TEST(Schematic, FixedEndsAreWalls) {
    BeamState s = Beam({3});
    s.Flag0 = s.FlagN = kTrue;
    RecordingCanvas c(8600, 2000);
    ReDrawAll(s, c);
    const float y0 = 800;
    const auto walls = Select(
        c.Items(), [](const Primitive& p) { return p.kind == Kind::Box && p.x2 - p.x1 == 20; });
    ASSERT_EQ(walls.size(), 2u);
    EXPECT_EQ(walls[0], (Primitive{Kind::Box, 590, y0 - 80, 610, y0 + 120, 0, true, {}, ""}));
    EXPECT_EQ(walls[1].x1, 7990);
    EXPECT_EQ(walls[1].y2, y0 + 120);
    EXPECT_TRUE(
        Select(c.Items(), [](const Primitive& p) { return p.kind == Kind::Circle; }).empty());
}

TEST(Schematic, RigidityAndLengthLabels) {
    const struct {
        double ei;
        const char* text;
    } cases[] = {{1, "EI"},      {2, "2.EI"}, {1.5, "1.5EI"},
                 {0.5, "0.5EI"}, {0, "0.EI"}, {0.333, "0.33EI"}};
    for (const auto& k : cases) {
        BeamState s = Beam({4, 6});
        s.EI(1) = 7;
        s.EI(2) = k.ei;
        RecordingCanvas c(8600, 2080);
        ReDrawAll(s, c);
        const Primitive* t = FindText(c.Items(), k.text);
        ASSERT_NE(t, nullptr) << k.text;
        // span 2 from 3560 to 8000, middle 5780; 100 units per character
        const int chars = static_cast<int>(std::string(k.text).size());
        EXPECT_FLOAT_EQ(t->x1, 5780 - 50.0f * chars) << k.text;
        EXPECT_EQ(t->y1, 940 - 100 + 30);
        const Primitive* len = FindText(c.Items(), "6.00M");
        ASSERT_NE(len, nullptr);
        EXPECT_EQ(len->x1, 5780 - 250);
        EXPECT_EQ(len->y1, 840 + 320);
    }
}

TEST(Schematic, FullSpanUniformLoadHasSixteenArrows) {
    BeamState s = Beam({1});
    s.LoadType(1) = 1, s.Q(1) = 12.5, s.A(1) = 1;
    RecordingCanvas c(3200, 2000);  // one span 2000 units wide: 600..2600
    ReDrawAll(s, c);
    const float y0 = 800;
    const auto shafts = ArrowShafts(c.Items(), y0);
    ASSERT_EQ(shafts.size(), 16u);
    EXPECT_EQ(shafts.front().x1, 600);
    EXPECT_NEAR(shafts.back().x1, 2600, 1e-3);
    EXPECT_NEAR(shafts[1].x1 - shafts[0].x1, 2000.0 / 15, 1e-3);
    const auto top = Select(c.Items(), [y0](const Primitive& p) {
        return p.kind == Kind::Line && p.y1 == y0 - 200 && p.y2 == y0 - 200;
    });
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].x1, 600);
    EXPECT_EQ(top[0].x2, shafts.back().x1);
    const Primitive* label = FindText(c.Items(), "12.50kN/m");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->x1, 1600 - 200 - 450);
    EXPECT_EQ(label->y1, y0 - 500);
    // loads come last: the label closes the drawing
    EXPECT_EQ(&c.Items().back(), label);
}

TEST(Schematic, UniformLoadArrowRows) {
    const struct {
        double a;
        double spanUnits;
        std::vector<float> offsets;  // arrow x from the span's left node
    } cases[] = {
        {0.5, 3000, {0, 200, 400, 600, 800, 1000, 1200, 1400}},
        {0, 3000, {0}},
        {0.25, 1500, {0, 100, 200, 300, 400}},  // e = 100, b = 425
    };
    for (const auto& k : cases) {
        BeamState s = Beam({1, 1});
        s.LoadType(2) = 1, s.Q(2) = 3, s.A(2) = k.a;
        RecordingCanvas c(1200 + 2 * k.spanUnits, 2000);
        ReDrawAll(s, c);
        const float xa = static_cast<float>(600 + k.spanUnits);
        std::vector<float> offsets;
        for (const Primitive& p : ArrowShafts(c.Items(), 800)) offsets.push_back(p.x1 - xa);
        EXPECT_EQ(offsets, k.offsets) << k.a;
        const auto top = Select(c.Items(), [](const Primitive& p) {
            return p.kind == Kind::Line && p.y1 == 600 && p.y2 == 600;
        });
        ASSERT_EQ(top.size(), 1u);
        EXPECT_EQ(top[0].x1, xa);
        EXPECT_EQ(top[0].x2, xa + k.offsets.back());
    }
}

TEST(Schematic, PointLoadStandsAtItsPosition) {
    const struct {
        double a;
        float x;
    } cases[] = {{0, 3560}, {1, 8000}, {0.5, 5780}, {0.25, 4670}};
    for (const auto& k : cases) {
        BeamState s = Beam({4, 6});
        s.LoadType(2) = 2, s.Q(2) = 10, s.A(2) = k.a;
        RecordingCanvas c(8600, 2080);
        ReDrawAll(s, c);
        const auto shafts = ArrowShafts(c.Items(), 840);
        ASSERT_EQ(shafts.size(), 1u);
        EXPECT_FLOAT_EQ(shafts[0].x1, k.x);
        const Primitive* label = FindText(c.Items(), "10.00kN");
        ASSERT_NE(label, nullptr);
        EXPECT_FLOAT_EQ(label->x1, k.x - 350);
        EXPECT_EQ(label->y1, 840 - 450);
    }
}

TEST(Schematic, NoLoadDrawsNothingAboveTheBar) {
    BeamState s = Beam({4, 6});
    s.Q(1) = 5, s.A(1) = 1;  // kept values of a span switched to no load
    RecordingCanvas c(8600, 2080);
    ReDrawAll(s, c);
    for (const Primitive& p : c.Items()) EXPECT_GE(p.y1, 840) << ListLine(p);
}

// Invariants that do not hold must neither hang nor hand on a bad coordinate.
TEST(Schematic, GuardsAgainstUnusableInput) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        std::vector<double> lengths;
        double W, H;
        int loadSpan;  // uniform full-span load on this span (0: none)
        double a;
        bool drawsNothing;
        std::size_t maxArrows;
    } cases[] = {
        {"canvas 1200 wide", {4}, 1200, 2000, 1, 1, true, 0},
        {"canvas rounding to no width", {4}, 1200.4, 2000, 1, 1, true, 0},
        {"zero canvas", {4}, 0, 0, 1, 1, true, 0},
        {"NaN canvas", {4}, nan, 2000, 1, 1, true, 0},
        {"NaN height", {4}, 8600, nan, 1, 1, true, 0},
        {"huge canvas", {4}, 1e300, 2000, 1, 1, true, 0},
        {"zero total length", {0}, 8600, 2000, 1, 1, true, 0},
        {"NaN length", {4, nan}, 8600, 2000, 1, 1, true, 0},
        {"infinite length", {4, inf}, 8600, 2000, 1, 1, true, 0},
        {"subnormal total length", {5e-324}, 8600, 2000, 1, 1, true, 0},
        {"tiny span", {1, 1e-300}, 8600, 2000, 2, 1, false, 16},
        {"zero-length span", {1, 0}, 8600, 2000, 2, 1, false, 16},
        {"negative span", {2, -1}, 8600, 2000, 2, 1, false, 16},
        {"wild load fraction", {1, 1}, 8600, 2000, 2, 1e12, false, 4096},
    };
    for (const Case& k : cases) {
        BeamState s = Beam(k.lengths);
        if (k.loadSpan > 0) {
            s.LoadType(k.loadSpan) = 1, s.Q(k.loadSpan) = 1, s.A(k.loadSpan) = k.a;
        }
        RecordingCanvas c(k.W, k.H);
        const auto start = std::chrono::steady_clock::now();
        ReDrawAll(s, c);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 5.0) << k.name;
        if (k.drawsNothing) {
            EXPECT_TRUE(c.Items().empty()) << k.name;
            continue;
        }
        EXPECT_FALSE(c.Items().empty()) << k.name;
        const float y0 = static_cast<float>(std::nearbyint(k.H / 2 - 200));
        EXPECT_LE(ArrowShafts(c.Items(), y0).size(), k.maxArrows) << k.name;
        for (const Primitive& p : c.Items()) {
            EXPECT_TRUE(std::isfinite(p.x1) && std::isfinite(p.y1) && std::isfinite(p.x2) &&
                        std::isfinite(p.y2) && std::isfinite(p.r))
                << k.name << ": " << ListLine(p);
        }
    }
}

TEST(Schematic, UnsizedLoadsShowTheBeamOnly) {
    BeamState s;
    s.SizeTyped(2);
    RecordingCanvas c(8600, 2080);
    ReDrawAll(s, c);
    EXPECT_NE(FindText(c.Items(), "1.00M"), nullptr);
    for (const Primitive& p : c.Items()) EXPECT_GE(p.y1, 840);
}

}  // namespace
}  // namespace cbeam
