// The schematic: bar, supports, dimension line, labels and loads.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "drawing_test_util.h"

namespace cbeam::test {
namespace {

// Horizontal lines at height y, and vertical ones from y1 down to y2.
Items Across(const Items& items, float y) {
    return Select(items, [y](const Primitive& p) {
        return p.kind == Kind::Line && !p.hasColour && p.y1 == y && p.y2 == y;
    });
}
Items Down(const Items& items, float y1, float y2) {
    return Select(items, [=](const Primitive& p) {
        return p.kind == Kind::Line && !p.hasColour && p.x1 == p.x2 && p.y1 == y1 && p.y2 == y2;
    });
}
// Load arrows stand from y0 - 200 down onto the bar.
Items ArrowShafts(const Items& items, float y0) {
    return Down(items, y0 - 200, y0);
}

// The bar's top edge y0 is H / 2 - 200, halves rounded to even.
TEST(Schematic, ThreeSpansMapToTheCanvasWidth) {
    const struct {
        double H;
        float y0;
    } cases[] = {{1635, 618}, {1665, 632}, {1695, 648}};
    for (const auto& k : cases) {
        const Items items = Schematic(Beam({{4}, {6}, {5}}), 8595, k.H);
        ASSERT_FALSE(items.empty());
        const float y0 = k.y0;
        EXPECT_EQ(items.front(),
                  (Primitive{Kind::Box, 600, y0, 7995, y0 + 15, 0, true, {0, 0, 225}, ""}));
        EXPECT_EQ(Xs(Down(items, y0 + 400, y0 + 600)), (std::vector<float>{600, 2572, 5530, 7995}));
        // Interior supports at nodes 2 and 3 only: the ends are pinned-end symbols.
        const Items upper = Select(
            items, [y0](const Primitive& p) { return p.kind == Kind::Circle && p.y1 == y0 + 150; });
        EXPECT_EQ(Xs(upper), (std::vector<float>{2572, 5530})) << k.H;
    }
}

TEST(Schematic, PinnedEndsAreCirclesFixedEndsWalls) {
    const float y0 = 800;
    const Items pinned = Schematic(Beam({{3}}), 8600, 2000);
    // bar, two pinned ends of 4 primitives, dimension line, two ticks, two labels
    EXPECT_EQ(pinned.size(), 16u);
    for (const Primitive& p : pinned) EXPECT_GE(p.y1, y0) << ListLine(p);
    const Items circles = OfKind(pinned, Kind::Circle);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ(circles[0], (Primitive{Kind::Circle, 600, y0 + 30, 0, 0, 30, false, {}, ""}));
    EXPECT_EQ(circles[1].x1, 8000);
    EXPECT_NE(FindText(pinned, "3.00M"), nullptr);

    const Items fixed = Schematic(testing::MakeBeam({{3}}, kTrue, kTrue), 8600, 2000);
    const Items walls =
        Select(fixed, [](const Primitive& p) { return p.kind == Kind::Box && p.x2 - p.x1 == 20; });
    ASSERT_EQ(walls.size(), 2u);
    EXPECT_EQ(ListLine(walls[0]), "box 590 720 610 920 0 0 0");
    EXPECT_TRUE(walls[1].x1 == 7990 && walls[1].y2 == y0 + 120);
    EXPECT_TRUE(OfKind(fixed, Kind::Circle).empty());
}

TEST(Schematic, RigidityAndLengthLabels) {
    const struct {
        double ei;
        const char* text;
    } cases[] = {{1, "EI"},      {2, "2.EI"}, {1.5, "1.5EI"},
                 {0.5, "0.5EI"}, {0, "0.EI"}, {0.333, "0.33EI"}};
    for (const auto& k : cases) {
        const Items items = Schematic(Beam({{4, 7}, {6, k.ei}}), 8600, 2080);
        const Primitive* t = FindText(items, k.text);
        ASSERT_NE(t, nullptr) << k.text;
        // span 2 from 3560 to 8000, middle 5780; 100 units per character
        EXPECT_FLOAT_EQ(t->x1, 5780 - 50.0f * std::strlen(k.text)) << k.text;
        EXPECT_EQ(t->y1, 940 - 100 + 30);
        EXPECT_EQ(Count(items, "text 5530 1160 \"6.00M\""), 1);
    }
}

TEST(Schematic, FullSpanUniformLoadHasSixteenArrows) {
    // one span 2000 units wide: 600..2600
    const Items items = Schematic(Beam({{1, 1, 1, 12.5, 1}}), 3200, 2000);
    const float y0 = 800;
    const Items shafts = ArrowShafts(items, y0);
    ASSERT_EQ(shafts.size(), 16u);
    EXPECT_EQ(shafts.front().x1, 600);
    EXPECT_NEAR(shafts.back().x1, 2600, 1e-3);
    EXPECT_NEAR(shafts[1].x1 - shafts[0].x1, 2000.0 / 15, 1e-3);
    const Items top = Across(items, y0 - 200);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_TRUE(top[0].x1 == 600 && top[0].x2 == shafts.back().x1);
    // loads come last: the label closes the drawing
    EXPECT_EQ(items.back(),
              (Primitive{Kind::Text, 1600 - 200 - 450, y0 - 500, 0, 0, 0, false, {}, "12.50kN/m"}));
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
        const Items items = Schematic(Beam({{1}, {1, 1, 1, 3, k.a}}), 1200 + 2 * k.spanUnits, 2000);
        const float xa = static_cast<float>(600 + k.spanUnits);
        std::vector<float> offsets = Xs(ArrowShafts(items, 800));
        for (float& x : offsets) x -= xa;
        EXPECT_EQ(offsets, k.offsets) << k.a;
        const Items top = Across(items, 600);
        ASSERT_EQ(top.size(), 1u);
        EXPECT_TRUE(top[0].x1 == xa && top[0].x2 == xa + k.offsets.back()) << k.a;
    }
}

TEST(Schematic, PointLoadStandsAtItsPosition) {
    const struct {
        double a;
        float x;
    } cases[] = {{0, 3560}, {1, 8000}, {0.5, 5780}, {0.25, 4670}};
    for (const auto& k : cases) {
        const Items items = Schematic(Beam({{4}, {6, 1, 2, 10, k.a}}), 8600, 2080);
        EXPECT_EQ(Xs(ArrowShafts(items, 840)), std::vector<float>{k.x}) << k.a;
        const Primitive* label = FindText(items, "10.00kN");
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->x1 == k.x - 350 && label->y1 == 840 - 450) << ListLine(*label);
    }
}

// The kept values of a span switched to no load, and loads never sized.
TEST(Schematic, NothingAboveTheBarWithoutLoads) {
    BeamState unsized;
    unsized.SizeTyped(2);
    const Items bare = Schematic(unsized, 8600, 2080);
    EXPECT_NE(FindText(bare, "1.00M"), nullptr);
    for (const Items& items : {bare, Schematic(Beam({{4, 1, 0, 5, 1}, {6}}), 8600, 2080)}) {
        for (const Primitive& p : items) EXPECT_GE(p.y1, 840) << ListLine(p);
    }
}

// Invariants that do not hold must neither hang nor hand on a bad coordinate.
TEST(Schematic, GuardsAgainstUnusableInput) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const testing::SpanInput loaded{4, 1, 1, 1, 1};  // uniform over the whole span
    struct Case {
        const char* name;
        std::vector<testing::SpanInput> spans;
        double W, H;
        std::size_t maxArrows;  // 0: draws nothing at all
    } cases[] = {
        {"canvas 1200 wide", {loaded}, 1200, 2000, 0},
        {"canvas rounding to no width", {loaded}, 1200.4, 2000, 0},
        {"zero canvas", {loaded}, 0, 0, 0},
        {"NaN canvas", {loaded}, nan, 2000, 0},
        {"NaN height", {loaded}, 8600, nan, 0},
        {"huge canvas", {loaded}, 1e300, 2000, 0},
        {"zero total length", {{0, 1, 1, 1, 1}}, 8600, 2000, 0},
        {"NaN length", {loaded, {nan}}, 8600, 2000, 0},
        {"infinite length", {loaded, {inf}}, 8600, 2000, 0},
        {"subnormal total length", {{5e-324, 1, 1, 1, 1}}, 8600, 2000, 0},
        {"tiny span", {{1}, {1e-300, 1, 1, 1, 1}}, 8600, 2000, 16},
        {"zero-length span", {{1}, {0, 1, 1, 1, 1}}, 8600, 2000, 16},
        {"negative span", {{2}, {-1, 1, 1, 1, 1}}, 8600, 2000, 16},
        {"wild load fraction", {{1}, {1, 1, 1, 1, 1e12}}, 8600, 2000, 4096},
    };
    for (const Case& k : cases) {
        Items items;
        EXPECT_LT(Seconds([&] { items = Schematic(Beam(k.spans), k.W, k.H); }), 5.0) << k.name;
        EXPECT_EQ(items.empty(), k.maxArrows == 0) << k.name;
        const float y0 = static_cast<float>(std::nearbyint(k.H / 2 - 200));
        EXPECT_LE(ArrowShafts(items, y0).size(), k.maxArrows) << k.name;
        for (const Primitive& p : items) EXPECT_TRUE(Finite(p)) << k.name << ": " << ListLine(p);
    }
}

}  // namespace
}  // namespace cbeam::test
