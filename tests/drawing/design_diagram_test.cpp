// What the shear-force diagram and the deflection curve hand a canvas.
#include <gtest/gtest.h>

#include <algorithm>

#include "drawing_test_util.h"
#include "model/driver.h"
#include "text/format.h"

namespace cbeam::test {
namespace {

using Draw = void (*)(const BeamState&, const DesignValues&, Canvas&);

Items Drawn(Draw draw, BeamState& s, double W, double H, DeviceScale res = {}) {
    EXPECT_TRUE(RunAnalysis(s).status);
    PixelRecording c(W, H, res);
    draw(s, ComputeDesignValues(s), c);
    return c.Items();
}

std::vector<std::string> Texts(const Items& items) {
    std::vector<std::string> out;
    for (const Primitive& p : items) {
        if (p.kind == Primitive::Kind::Text) out.push_back(p.text);
    }
    return out;
}

// Two spans of 8 m under 10 kN/m, pinned: end shears 30 and 50 kN.
TEST(DesignDiagrams, ShearLabelsEveryEndShearAndDrawsPositiveUp) {
    BeamState s = Beam({{8, 1, 1, 10, 1}, {8, 1, 1, 10, 1}});
    const Items items = Drawn(DrawV, s, 6000, 2000);
    EXPECT_EQ(Texts(items),
              (std::vector<std::string>{"30.00kN", "-50.00kN", "50.00kN", "-30.00kN"}));
    const auto first = std::find_if(items.begin(), items.end(), [](const Primitive& p) {
        return p.kind == Primitive::Kind::Line && p.hasColour && p.x1 == 600;
    });
    ASSERT_NE(first, items.end());
    EXPECT_EQ(first->y1, 1000) << "from the axis";
    EXPECT_LT(first->y2, 1000) << "up to the positive shear";
}

// Each span's largest deflection: labelled below the axis, and the curve
// reaches the value the label gives.
TEST(DesignDiagrams, DeflectionLabelsEachSpansPeakWhereTheCurveReachesIt) {
    BeamState s = Beam({{6, 1, 2, 20, 0.3}, {4}, {5, 1, 1, 10, 0.5}});
    const Items items = Drawn(DrawW, s, 7000, 2000);
    const DesignValues d = ComputeDesignValues(s);
    std::vector<std::string> expected;
    for (const auto& v : d.spans) expected.push_back(Format(v.w, "#####0.000") + "mm");
    EXPECT_EQ(Texts(items), expected);
    float deepest = 0;
    for (const Primitive& p : items) {
        if (p.hasColour && p.x1 < 600 + 6 * 5800 / 15.0) deepest = std::max({deepest, p.y1, p.y2});
        if (p.kind == Primitive::Kind::Text && p.text == expected[0]) {
            EXPECT_GT(p.y1, 1000);
            EXPECT_FLOAT_EQ(p.y1 - 30, deepest);
        }
    }
}

// On a picture, crowded labels are left out rather than printed over each other.
TEST(DesignDiagrams, LabelsOnAPictureStandApart) {
    Spans spans;
    for (int k = 0; k < 300; ++k) spans.push_back({1.0 + k % 3, 1, 1 + k % 2, 5.0 + k % 7, 0.6});
    const struct {
        const char* name;
        Draw draw;
    } rows[] = {{"shear", DrawV}, {"deflection", DrawW}};
    for (const auto& [name, draw] : rows) {
        SCOPED_TRACE(name);
        BeamState s = Beam(spans);
        std::vector<Primitive> labels;
        for (const Primitive& p : Drawn(draw, s, 8595, 2400, {1 / 15.0, 1 / 15.0})) {
            if (p.kind == Primitive::Kind::Text) labels.push_back(p);
        }
        EXPECT_GT(labels.size(), 5u);
        for (std::size_t i = 0; i < labels.size(); ++i) {
            for (std::size_t j = 0; j < i; ++j) {
                const Primitive &a = labels[i], &b = labels[j];
                const bool apart = a.x1 + 100 * CountChars(a.text) <= b.x1 ||
                                   b.x1 + 100 * CountChars(b.text) <= a.x1 || a.y1 + 240 <= b.y1 ||
                                   b.y1 + 240 <= a.y1;
                EXPECT_TRUE(apart) << a.text << " over " << b.text;
            }
        }
    }
}

}  // namespace
}  // namespace cbeam::test
