// The bending-moment diagram: frame, scale, outline, hatching, labels.
#include <gtest/gtest.h>

#include <limits>

#include "drawing_test_util.h"

namespace cbeam::test {
namespace {

constexpr Rgb kDiagram{50, 50, 255};

bool IsDiagramLine(const Primitive& p) {
    return p.kind == Kind::Line && p.hasColour && p.colour == kDiagram;
}
Items Outline(const Items& items) {
    return Select(items, [](const Primitive& p) { return IsDiagramLine(p) && p.x1 != p.x2; });
}

// Hatch lines (and parabola drops) end on the axis; so may the closing line
// at the right end, which the callers leave out by their x range.
std::vector<float> HatchXs(const Items& items, float y0, float from, float to) {
    return Xs(Select(items, [=](const Primitive& p) {
        return IsDiagramLine(p) && p.x1 == p.x2 && p.y2 == y0 && p.x1 >= from && p.x1 < to;
    }));
}

TEST(Diagram, TwoSpanFrameAndScale) {
    BeamState s = Beam({{4}, {6}});
    s.M(2) = 50;
    const Items items = Diagram(s, 8600, 2080);
    EXPECT_EQ(s.HatchSpacing, 100);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.front(), (Primitive{Kind::Box, 600, 940, 8000, 955, 0, true, {}, ""}));
    // the interior support: two circles on a bar
    const Items circles = OfKind(items, Kind::Circle);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ(circles[0], (Primitive{Kind::Circle, 3560, 970, 0, 0, 30, false, {}, ""}));
    EXPECT_TRUE(circles[1].x1 == 3560 && circles[1].y1 == 1090);
    EXPECT_EQ(Count(items, "line 3560 1000 3560 1060"), 1);
    // ky = 680 / 50 = 13.6: 50 kNm hogging stands 680 above the axis.
    EXPECT_EQ(Count(items, "text 3010 110 \"50.00000kNm\""), 1);
    const Items outline = Outline(items);
    ASSERT_EQ(outline.size(), 2u);
    EXPECT_EQ(outline[0].x2, 3560);
    EXPECT_FLOAT_EQ(outline[0].y2, 260);

    // Spans of 2960 and 4440 units: hatch lines every 100 units, the last
    // one less than 100 before the span's right end.
    const auto first = HatchXs(items, 940, 600, 3560);
    const auto second = HatchXs(items, 940, 3560, 8000);
    ASSERT_EQ(first.size(), 30u);
    ASSERT_EQ(second.size(), 45u);
    EXPECT_TRUE(first.front() == 600 && second.front() == 3560);
    EXPECT_NEAR(first.back(), 3500, 1e-2);
    EXPECT_NEAR(second.back(), 7960, 1e-2);
    // the closing line at the right end comes last
    EXPECT_EQ(items.back(), (Primitive{Kind::Line, 8000, 940, 8000, 940, 0, true, kDiagram, ""}));
}

TEST(Diagram, OneSpanPointLoad) {
    BeamState s = Beam({{4, 1, 2, 10, 0.5}});
    const Items items = Diagram(s, 8600, 2080);
    EXPECT_EQ(Outline(items).size(), 2u);
    EXPECT_EQ(OfKind(items, Kind::Text).size(), 3u);
    for (const char* line : {"line 600 940 4300 1620 50 50 255",
                             "line 8000 940 4300 1620 50 50 255", "text 3700 1720 \"-10.00000kNm\"",
                             "text 100 790 \"0.00000kNm\"", "text 7500 970 \"0.00000kNm\""}) {
        EXPECT_EQ(Count(items, line), 1) << line;
    }
}

TEST(Diagram, MomentLabels) {
    const struct {
        double m1, m2;
        const char *left, *right;
    } cases[] = {{12.5, -0.25, "12.50000kNm", "-0.25000kNm"},
                 {-0.25, 12.5, "-0.25000kNm", "12.50000kNm"},
                 {0, 0, "0.00000kNm", "0.00000kNm"},
                 {-0.0000001, 1234567.123456, "0.00000kNm", "1234567.12346kNm"}};
    for (const auto& k : cases) {
        BeamState s = Beam({{4}});
        s.M(1) = k.m1, s.M(2) = k.m2;
        const Items texts = OfKind(Diagram(s, 8600, 2080), Kind::Text);
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0].text, k.left);
        EXPECT_EQ(texts[1].text, k.right);
    }
}

// Zero moments are labelled above the axis except at node N+1; a sagging
// moment puts its label below its ordinate.
TEST(Diagram, NodeLabelsAboveOrBelow) {
    BeamState s = Beam({{4}, {6}});
    s.M(1) = -10;
    const Items texts = OfKind(Diagram(s, 8600, 2080), Kind::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].y1, 940 + 680 + 30);
    EXPECT_EQ(texts[1].y1, 940 - 150);
    EXPECT_EQ(texts[2].y1, 940 + 30);
}

TEST(Diagram, LoadedSpansBySamplesAndRuns) {
    // One span of 4 m on 7350 units: ds is 100 units and 73.5 steps fit.
    const struct {
        const char* name;
        int type;
        double a;
        std::size_t samples;    // parabola samples (uniform load)
        std::size_t afterLoad;  // hatch lines after the load
        std::size_t lines;      // every diagram-coloured line
    } cases[] = {
        {"full uniform", 1, 1, 74, 0, 2 * 74 + 1 + 1},
        {"half uniform", 1, 0.5, 37, 37, 2 * 37 + 1 + 1 + 37 + 1},
        {"uniform at a = 0", 1, 0, 0, 74, 1 + 1 + 74 + 1},
        {"point at a = 1", 2, 1, 0, 0, 1 + 74 + 1},
        {"point at a = 0", 2, 0, 0, 74, 1 + 1 + 74 + 1},
    };
    for (const auto& k : cases) {
        BeamState s = Beam({{4, 1, k.type, 10, k.a}});
        s.M(1) = s.M(2) = 40.0 / 3;
        const Items items = Diagram(s, 8550, 2080);
        const Items lines = Select(items, IsDiagramLine);
        EXPECT_EQ(lines.size(), k.lines) << k.name;
        const double aEnd = 600 + 7350 * k.a;
        if (k.type == 1) {
            // samples: a chord then a drop to the axis each, then the closing chord
            std::size_t drops = 0, i = 0;
            for (; i + 1 < lines.size() && lines[i + 1].x1 == lines[i + 1].x2 &&
                   lines[i + 1].y2 == 940 && lines[i].x2 == lines[i + 1].x1;
                 i += 2) {
                ++drops;
            }
            EXPECT_EQ(drops, k.samples) << k.name;
            EXPECT_FLOAT_EQ(lines[i].x2, static_cast<float>(aEnd)) << k.name;
            if (k.samples > 0) {
                EXPECT_NEAR(lines[i].x1, 600 + 100.0 * (k.samples - 1), 1e-2) << k.name;
            }
        }
        if (k.type == 1 && k.a == 1) {
            // Mm = 13.333 - 20 = -6.667 labelled at mid-span; Mmax = 13.333, ky = 51
            const Primitive* label = FindText(items, "-6.66667kNm");
            ASSERT_NE(label, nullptr);
            EXPECT_FLOAT_EQ(label->x1, 4275 - 550);
            EXPECT_NEAR(label->y1, 940 + 340 + 50, 1e-3);
            // the closing chord ends on the right node at the end moment
            EXPECT_NEAR(lines[lines.size() - 2].y2, 260, 1e-3);
            EXPECT_EQ(lines[lines.size() - 2].x2, 7950);
            // the lowest sample lies at the middle of the span
            float lowest = 0;
            for (const Primitive& p : lines) lowest = std::max(lowest, p.y2 == 940 ? 0 : p.y2);
            EXPECT_NEAR(lowest, 1280, 1.0);
        }
        const auto after = HatchXs(items, 940, static_cast<float>(aEnd) - 1e-3f, 7950);
        if (k.afterLoad > 0) {
            EXPECT_EQ(after.size(), k.afterLoad) << k.name;
            EXPECT_FLOAT_EQ(after.front(), static_cast<float>(aEnd)) << k.name;
        }
    }
}

TEST(Diagram, GuardsAgainstUnusableInput) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        std::vector<testing::SpanInput> spans;
        double W;
        double m2;
        std::size_t maxItems;  // 0: draws nothing at all
    } cases[] = {
        {"canvas 1200 wide", {{4}}, 1200, 1, 0},
        {"zero canvas", {{4}}, 0, 1, 0},
        {"zero total length", {{0}}, 8600, 1, 0},
        {"NaN moment", {{4}}, 8600, nan, 0},
        {"infinite moment", {{4}}, 8600, -inf, 0},
        {"infinite load", {{4, 1, 1, inf, 1}}, 8600, 1, 0},
        {"subnormal moment: flat diagram", {{4}}, 8600, 5e-324, 1000},
        {"tiny span", {{1}, {1e-300, 1, 1, 5, 1}}, 8600, 1, 1000},
        {"zero-length span", {{1}, {0, 1, 1, 5, 1}}, 8600, 1, 1000},
        {"vanishing hatch step", {{1}}, 5e8, 1, 100010},
        {"vanishing parabola step", {{1, 1, 1, 5, 1}}, 5e8, 1, 200010},
    };
    for (const Case& k : cases) {
        BeamState s = Beam(k.spans);
        s.M(2) = k.m2;
        Items items;
        EXPECT_LT(Seconds([&] { items = Diagram(s, k.W, 2080); }), 5.0) << k.name;
        EXPECT_EQ(s.HatchSpacing, 100) << k.name;
        EXPECT_EQ(items.empty(), k.maxItems == 0) << k.name;
        if (items.empty()) continue;
        EXPECT_LE(items.size(), k.maxItems) << k.name;
        float right = 0;
        for (const Primitive& p : items) {
            EXPECT_TRUE(Finite(p)) << k.name << ": " << ListLine(p);
            if (IsDiagramLine(p) && p.x1 == p.x2) right = std::max(right, p.x1);
        }
        // a bounded run still covers its whole stretch
        EXPECT_NEAR(right, k.W - 600, 1e-5 * k.W) << k.name;
    }

    BeamState unsized;  // results never sized
    unsized.SizeTyped(2);
    EXPECT_TRUE(Diagram(unsized, 8600, 2080).empty());
    EXPECT_EQ(unsized.HatchSpacing, 100);
}

}  // namespace
}  // namespace cbeam::test
