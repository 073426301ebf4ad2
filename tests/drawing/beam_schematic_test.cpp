// The general beam's schematic as recorded: its supports and loads where the
// envelopes and PlaceUnder put their nodes, only the stretch asked for, the
// mark on its span, labels apart on a long beam, and a short stretch of a
// very long beam drawn in what its own spans cost.
#include "drawing/beam_schematic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

#include "canvas/recording_canvas.h"
#include "common/beam_helpers.h"
#include "drawing/influence_drawing.h"
#include "drawing/layout.h"
#include "text/format.h"

namespace cbeam {
namespace {

using Kind = Primitive::Kind;
constexpr double kW = 657 * 15, kH = 150 * 15;

// A picture that people read, at 15 twips a pixel.
struct Picture : RecordingCanvas {
    Picture() : RecordingCanvas(kW, kH) {}
    DeviceScale Resolution() const override { return {1 / 15.0, 1 / 15.0}; }
    DeviceScale LabelScale() const override { return Resolution(); }
};

// Spans of these lengths on pinned supports, one empty load case.
Beam Plain(std::vector<double> lengths) {
    Beam b;
    for (const double L : lengths) b.spans.push_back({L, 1});
    b.supports.assign(lengths.size() + 1, Support{});
    b.cases = {LoadCase{"G", CaseKind::Permanent, {}, {}, {}}};
    return b;
}

// Node x of the stretch by the envelopes' mapping, checked against PlaceUnder.
double NodeX(const Beam& b, int node, int first = 1, int last = 0) {
    last = last < 1 ? b.N() : last;
    double total = 0, d = 0;
    for (int k = first; k <= last; ++k) total += b.SpanAt(k).L, d += k < node ? b.SpanAt(k).L : 0;
    const double x = kMargin + d * (std::round(kW - kMargin) - kMargin) / total;
    const auto at = PlaceUnder(b, x, kW, first, last);
    EXPECT_TRUE(at && (node == at->span + 1 ? std::fabs(at->x - b.SpanAt(at->span).L) < 1e-9
                                            : at->span == node && at->x < 1e-9));
    return x;
}

using Items = std::vector<Primitive>;

bool Has(const Items& items, const std::string& text) {
    return std::ranges::any_of(items, [&](const Primitive& p) { return p.text == text; });
}
struct SupportRow {
    const char* name;
    Support support;
    int node;
    bool (*symbol)(const Primitive&, double x, double y0);  // the kind's own mark
};
class SchematicSupport : public ::testing::TestWithParam<SupportRow> {};

TEST_P(SchematicSupport, DrawsItsSymbolAtItsNode) {
    const SupportRow& row = GetParam();
    Beam b = Plain({4, 6, 5});
    b.supports[row.node - 1] = row.support;
    RecordingCanvas c(kW, kH);
    DrawSchematic(b, c);
    const double x = NodeX(b, row.node), y0 = c.Items().front().y1;
    int under = 0;
    bool own = row.symbol == nullptr;
    for (const Primitive& p : c.Items()) {
        const bool near = std::fabs(p.x1 - x) < 100 && p.y1 > y0 + 15 && p.y1 < y0 + 190;
        under += near && p.kind != Kind::Text;
        if (row.symbol != nullptr && row.symbol(p, x, y0)) own = true;
    }
    EXPECT_EQ(under > 0, row.support.kind != SupportKind::Free) << under;
    EXPECT_TRUE(own);
}

INSTANTIATE_TEST_SUITE_P(Rows, SchematicSupport,
                         ::testing::Values(SupportRow{"pinned_hinge",
                                                      {},
                                                      2,
                                                      [](const Primitive& p, double x, double y0) {
                                                          return p.kind == Kind::Circle &&
                                                                 p.x1 == x && p.y1 == y0 + 30;
                                                      }},
                                           SupportRow{"fixed_wall",
                                                      {SupportKind::Fixed},
                                                      4,
                                                      [](const Primitive& p, double x, double) {
                                                          return p.kind == Kind::Box &&
                                                                 p.x1 == x - 10 && p.x2 == x + 10;
                                                      }},
                                           SupportRow{"spring_with_k", Support::Spring(1500.5), 3,
                                                      [](const Primitive& p, double, double) {
                                                          return p.text == "k=1500.5";
                                                      }},
                                           SupportRow{"free_tip", {SupportKind::Free}, 1, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

struct LoadRow {
    const char* name;
    Load load;
    const char* label;
};
class SchematicLoad : public ::testing::TestWithParam<LoadRow> {};

// What the load adds to the unloaded schematic lies within its span (or
// beside its node) and carries its value.
TEST_P(SchematicLoad, DrawsWithinItsSpan) {
    const LoadRow& row = GetParam();
    Beam b = Plain({4, 6, 5});
    RecordingCanvas bare(kW, kH), loaded(kW, kH);
    DrawSchematic(b, bare);
    b.cases[0].loads = {row.load};
    DrawSchematic(b, loaded);
    const bool node = row.load.kind == Load::Kind::Settlement;
    const double left = node ? NodeX(b, 3) - 300 : NodeX(b, 2),
                 right = node ? left + 600 : NodeX(b, 3);
    Items added;
    for (const Primitive& p : loaded.Items())
        if (std::ranges::find(bare.Items(), p) == bare.Items().end()) added.push_back(p);
    ASSERT_GE(added.size(), 3u);
    for (const Primitive& p : added) {
        const double lo = p.kind == Kind::Circle ? p.x1 - p.r
                          : p.kind == Kind::Text ? p.x1
                                                 : std::min(p.x1, p.x2);
        const double hi = p.kind == Kind::Text     ? p.x1 + 100.0 * CountChars(p.text)
                          : p.kind == Kind::Circle ? p.x1 + p.r
                                                   : std::max(p.x1, p.x2);
        EXPECT_TRUE(lo >= left && hi <= right) << p.text << " " << lo << ".." << hi;
    }
    EXPECT_TRUE(Has(added, row.label));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SchematicLoad,
    ::testing::Values(LoadRow{"uniform", Load::Uniform(2, 12.5, 0, 6), "12.5kN/m"},
                      LoadRow{"linear", Load::Linear(2, 2, 8, 1, 5), "2~8kN/m"},
                      LoadRow{"point_three_decimals", Load::Point(2, 1.23456, 2), "1.235kN"},
                      LoadRow{"moment", Load::Moment(2, -15.25, 3), "-15.25kNm"},
                      LoadRow{"settlement", Load::Settlement(3, 5), "d=5mm"}),
    [](const auto& info) { return std::string(info.param.name); });

// Two overlapping loads stack, each as high as its share of the largest.
TEST(SchematicStack, OverlappingLoadsStackByMagnitude) {
    Beam b = Plain({6});
    b.cases[0].loads = {Load::Uniform(1, 10, 0, 6), Load::Uniform(1, 5, 2, 4)};
    RecordingCanvas c(kW, kH);
    DrawSchematic(b, c);
    std::vector<double> tops;  // each load's top edge
    for (const Primitive& p : c.Items())
        if (p.kind == Kind::Line && p.hasColour && p.y1 == p.y2 && p.x1 < p.x2)
            tops.push_back(p.y1);
    ASSERT_EQ(tops.size(), 2u);
    const double y0 = c.Items().front().y1;
    EXPECT_NEAR(y0 - tops[0], 2 * (tops[0] - tops[1]), 1);
}

TEST(SchematicStretch, DrawsOnlyItsSpans) {
    Beam b = Plain({3, 4, 5, 6, 7, 8});
    b.cases[0].loads = {Load::Point(2, 11, 1), Load::Point(4, 44, 1), Load::Point(6, 66, 1)};
    Picture c;
    DrawSchematic(b, c, {}, 3, 5);
    for (const int k : {1, 2, 3, 4, 5, 6}) {
        const bool in = k >= 3 && k <= 5;
        EXPECT_EQ(Has(c.Items(), "(" + std::to_string(k) + ")"), in) << k;
        EXPECT_EQ(Has(c.Items(), std::to_string(k + 2) + "m"), in) << k;
    }
    EXPECT_TRUE(Has(c.Items(), "44kN"));
    EXPECT_FALSE(Has(c.Items(), "11kN") || Has(c.Items(), "66kN"));
}

struct MarkRow {
    const char* name;
    int span, node;
    int leftNode, rightNode;  // the frame's edges at these nodes; 0: no mark
};
class SchematicMark : public ::testing::TestWithParam<MarkRow> {};

TEST_P(SchematicMark, LandsOnItsPlace) {
    const MarkRow& row = GetParam();
    const Beam b = Plain({4, 6, 5, 3});
    RecordingCanvas c(kW, kH);
    DrawSchematic(b, c, {0, row.span, row.node}, 2, 3);
    const Items& items = c.Items();
    const auto mark = std::ranges::find_if(items, [](const Primitive& p) {
        return p.kind == Kind::Box && p.colour == Rgb{230, 120, 0};
    });
    ASSERT_EQ(mark != items.end(), row.leftNode > 0);
    if (row.leftNode == 0) return;
    const double l = NodeX(b, row.leftNode, 2, 3), r = NodeX(b, row.rightNode, 2, 3);
    EXPECT_NEAR((mark->x1 + mark->x2) / 2, (l + r) / 2, 0.5);
    if (row.span > 0) {
        EXPECT_NEAR(mark->x2 - mark->x1, r - l, 0.5);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SchematicMark,
                         ::testing::Values(MarkRow{"span_of_stretch", 3, 0, 3, 4},
                                           MarkRow{"last_node", 0, 4, 4, 4},
                                           MarkRow{"span_outside", 4, 0, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every kind of load on each of 1,000 spans: no label over another.
TEST(SchematicLong, LabelsApartAtThousandSpans) {
    Beam b = testing::LiveBeam(std::vector<double>(1000, 6), 10, 8);
    for (int k = 1; k <= b.N(); ++k) {
        b.cases[0].loads.push_back(Load::Point(k, 20 + k, 3));
        b.cases[0].loads.push_back(Load::Moment(k, 5, 1));
        b.supports[k].kind = k % 3 == 0 ? SupportKind::Fixed : SupportKind::Pinned;
    }
    Picture c;
    DrawSchematic(b, c);
    Items labels;
    for (const Primitive& p : c.Items())
        if (p.kind == Kind::Text) labels.push_back(p);
    ASSERT_GT(labels.size(), 10u);
    for (std::size_t i = 0; i < labels.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const Primitive &a = labels[i], &o = labels[j];
            const bool apart = a.x1 + 100.0 * CountChars(a.text) <= o.x1 ||
                               o.x1 + 100.0 * CountChars(o.text) <= a.x1 ||
                               std::fabs(a.y1 - o.y1) >= 16 * 15;
            EXPECT_TRUE(apart) << a.text << " over " << o.text;
        }
}

// A 120-span stretch of the longest beam costs what 120 spans cost.
TEST(SchematicLong, StretchOfLongestBeamIsFast) {
    Beam b = testing::LiveBeam(std::vector<double>(32766, 5), 10, 8);
    for (int k = 1; k <= b.N(); ++k) b.cases[0].loads.push_back(Load::Point(k, 30, 2));
    double best = HUGE_VAL;
    for (int i = 0; i < 5; ++i) {
        Picture c;
        const auto start = std::chrono::steady_clock::now();
        DrawSchematic(b, c, {0, 17000, 0}, 16950, 17069);
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        ASSERT_FALSE(c.Items().empty());
    }
    EXPECT_LT(best, 0.005);
}

}  // namespace
}  // namespace cbeam
