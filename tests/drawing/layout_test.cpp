// The layout of both drawings as numbers: scales, reference lines, nodes, anchors.
#include "drawing/layout.h"

#include <gtest/gtest.h>

#include "drawing_test_util.h"

namespace cbeam::test {
namespace {

TEST(Layout, Schematic) {
    const struct {
        const char* name;
        Spans spans;
        double W, H;
        std::int32_t xR;
        double kx, y0;
        std::vector<double> nodes;
    } rows[] = {
        {"three spans", {{4}, {6}, {5}}, 8595, 1635, 7995, 493, 618, {600, 2572, 5530, 7995}},
        {"y0 half to even", {{4}, {6}, {5}}, 8595, 1665, 7995, 493, 632, {600, 2572, 5530, 7995}},
        {"xR half to even", {{1}}, 8600.5, 2080, 8000, 7400, 840, {600, 8000}},
        {"two spans", {{4}, {6}}, 8600, 2080, 8000, 740, 840, {600, 3560, 8000}}};
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
    const struct {
        const char* name;
        Spans spans;
        std::vector<double> M;  // nodes 1..N+1
        double H, h, y0, kx, Mmax;
    } rows[] = {
        {"hogging node", {{4}, {6}}, {0, 50, 0}, 2080, 680, 940, 740, 50},
        {"y0 half down to even", {{4}, {6}}, {0, 50, 0}, 2079, 679, 940, 740, 50},
        {"y0 half up to even", {{4}, {6}}, {0, 50, 0}, 2081, 681, 940, 740, 50},
        {"point load mid-span", {{4, 1, 2, 10, 0.5}}, {0, 0}, 2080, 680, 940, 1850, 10},
        // the mean of the end moments counts, not the moment under the load
        {"point load off centre", {{4, 1, 2, 10, 0.25}}, {-2, 2}, 2080, 680, 940, 1850, 7.5},
        {"full uniform load", {{4, 1, 1, 10, 1}}, {0, 0}, 2080, 680, 940, 1850, 20},
        {"half uniform load", {{4, 1, 1, 10, 0.5}}, {0, 0}, 2080, 680, 940, 1850, 10},
        {"no moments at all", {{4}}, {0, 0}, 2080, 680, 940, 1850, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        BeamState s = Beam(r.spans);
        EXPECT_FALSE(LayOutDiagram(s, 1200, r.H, kHatchSpacing).has_value());  // too narrow
        for (std::size_t k = 0; k < r.M.size(); ++k) s.M(static_cast<int>(k) + 1) = r.M[k];
        const auto lay = LayOutDiagram(s, 8600, r.H, kHatchSpacing);
        ASSERT_TRUE(lay.has_value());
        EXPECT_EQ(std::tuple(lay->h, lay->y0, lay->x.kx, lay->Mmax),
                  std::tuple(r.h, r.y0, r.kx, r.Mmax));
        EXPECT_DOUBLE_EQ(lay->ds, 100 / r.kx);
        EXPECT_DOUBLE_EQ(lay->ky, r.Mmax != 0 ? r.h / r.Mmax : r.h);
    }
}

TEST(Layout, LabelAnchors) {
    DiagramLayout lay;
    lay.y0 = 940, lay.ky = 10;
    // A zero moment is labelled above the axis except at the last node.
    const struct {
        double m;
        bool last;
        double top;
    } tops[] = {{0, false, 790}, {0, true, 970}, {-1, false, 980}, {1, true, 780}};
    for (const auto& t : tops) EXPECT_EQ(lay.NodeLabelTop(t.m, t.last), t.top) << t.m << t.last;
    EXPECT_EQ(LabelLeft(5780, "1.5EI"), 5530);
    EXPECT_EQ(LabelLeft(0, "第1跨"), -150);  // characters, not bytes
}

}  // namespace
}  // namespace cbeam::test
