// The general beam's schematic lined up with the envelopes and readable.
#include "drawing/beam_schematic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

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

Beam Plain(std::vector<double> lengths) {
    Beam b;
    for (const double L : lengths) b.spans.push_back({L, 1});
    b.supports.assign(lengths.size() + 1, Support{SupportKind::Free});
    b.cases = {LoadCase{"G", CaseKind::Permanent, {}, {}, {}}};
    return b;
}

// Node x of the stretch by the envelopes' mapping, checked against PlaceUnder.
// The beams here have 3 spans drawn, or spans 2..3 of 4.
double NodeX(const Beam& b, int node, int first = 1, int last = 3) {
    double total = 0, d = 0;
    for (int k = first; k <= last; ++k) total += b.SpanAt(k).L, d += k < node ? b.SpanAt(k).L : 0;
    const double x = kMargin + d * (std::round(kW - kMargin) - kMargin) / total;
    const auto at = PlaceUnder(b, x, kW, first, last);  // the node's span, at an end
    EXPECT_TRUE(at && std::fabs(at->x - (at->span < node ? b.SpanAt(at->span).L : 0)) < 1e-9);
    return x;
}

using Items = std::vector<Primitive>;
bool Has(const Items& items, const std::string& text) {
    return std::ranges::find(items, text, &Primitive::text) != items.end();
}
// A label as wide as the drawings assume.
std::pair<double, double> Across(const Primitive& p) {
    if (p.kind == Kind::Text) return {p.x1, p.x1 + kCharWidth * CountChars(p.text)};
    if (p.kind == Kind::Circle) return {p.x1 - p.r, p.x1 + p.r};
    return {std::min(p.x1, p.x2), std::max(p.x1, p.x2)};
}
struct SymbolRow {
    const char* name;
    int node;  // of the support set (to Free on the bare beam), or 0
    Support support;
    std::optional<Load> load;
    Kind kind;  // of a primitive among those added
    const char* label;
};
class SchematicSymbol : public ::testing::TestWithParam<SymbolRow> {};

// What a support or load adds to the bare beam lies at its node (a node's
// label centred on it) or within its span, and carries its value.
TEST_P(SchematicSymbol, DrawnWhereItBelongs) {
    const SymbolRow& row = GetParam();
    Beam b = Plain({4, 6, 5});
    RecordingCanvas bare(kW, kH), drawn(kW, kH);
    DrawSchematic(b, bare);
    if (row.node > 0) b.supports[row.node - 1] = row.support;
    if (row.load) b.cases[0].loads = {*row.load};
    DrawSchematic(b, drawn);
    const double x = row.node > 0 ? NodeX(b, row.node) : (NodeX(b, 2) + NodeX(b, 3)) / 2;
    const double reach = row.node > 0 ? 200 : (NodeX(b, 3) - NodeX(b, 2)) / 2;
    Items added;
    for (const Primitive& p : drawn.Items()) {
        if (std::ranges::find(bare.Items(), p) != bare.Items().end()) continue;
        added.push_back(p);
        const auto [lo, hi] = Across(p);
        const bool centred = p.kind == Kind::Text && row.node > 0;
        EXPECT_TRUE(centred ? std::fabs(lo + hi - 2 * x) < 1 : lo >= x - reach && hi <= x + reach)
            << p.text << " " << lo << ".." << hi;
    }
    EXPECT_EQ(std::ranges::count(added, row.kind, &Primitive::kind) > 0, row.label != nullptr);
    EXPECT_TRUE(!row.label || !*row.label || Has(added, row.label)) << row.label;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SchematicSymbol,
    ::testing::Values(
        SymbolRow{"pinned_hinge", 2, {}, {}, Kind::Circle, ""},
        SymbolRow{"fixed_wall", 4, {SupportKind::Fixed}, {}, Kind::Box, ""},
        SymbolRow{"spring_with_k", 3, Support::Spring(1500.5), {}, Kind::Text, "k=1500.5"},
        SymbolRow{"free_tip", 1, {SupportKind::Free}, {}, Kind::Line, nullptr},
        SymbolRow{"uniform", 0, {}, Load::Uniform(2, 12.5, 0, 6), Kind::Line, "12.5kN/m"},
        SymbolRow{"linear", 0, {}, Load::Linear(2, 2, 8, 1, 5), Kind::Line, "2~8kN/m"},
        SymbolRow{"point_three_decimals", 0, {}, Load::Point(2, 1.23456, 2), Kind::Line, "1.235kN"},
        SymbolRow{"moment", 0, {}, Load::Moment(2, -15.25, 3), Kind::Line, "-15.25kNm"},
        SymbolRow{"settlement", 3, {}, Load::Settlement(3, 5), Kind::Text, "d=5mm"}),
    [](const auto& info) { return std::string(info.param.name); });

// Two overlapping loads stack, each as high as its share of the largest.
TEST(SchematicStack, OverlappingLoadsStackByMagnitude) {
    Beam b = Plain({6});
    b.cases[0].loads = {Load::Uniform(1, 10, 0, 6), Load::Uniform(1, 5, 2, 4)};
    RecordingCanvas c(kW, kH);
    DrawSchematic(b, c);
    std::vector<double> tops = {c.Items().front().y1};  // the bar's, each load's
    for (const Primitive& p : c.Items())
        if (p.hasColour && p.y1 == p.y2 && p.x1 < p.x2) tops.push_back(p.y1);
    ASSERT_EQ(tops.size(), 3u);
    EXPECT_NEAR(tops[0] - tops[1], 2 * (tops[1] - tops[2]), 1);
}

// Drawn for spans 2..3 only: neither the other spans' lengths nor their
// loads, and the mark (edges at nodes l and r; 0: none) on the stretch.
TEST(SchematicMark, LandsOnItsPlaceOfTheStretch) {
    const std::tuple<const char*, int, int, int, int> rows[] = {
        {"span_of_stretch", 3, 0, 3, 4}, {"last_node", 0, 4, 4, 4}, {"span_outside", 4, 0, 0, 0}};
    Beam b = Plain({4, 6, 5, 3});
    b.cases[0].loads = {Load::Point(1, 11, 1), Load::Point(2, 22, 1), Load::Point(4, 44, 1)};
    for (const auto& [name, span, node, left, right] : rows) {
        SCOPED_TRACE(name);
        Picture c;
        DrawSchematic(b, c, {0, span, node}, 2, 3);
        EXPECT_TRUE(Has(c.Items(), "6m") && Has(c.Items(), "5m") && Has(c.Items(), "22kN"));
        for (const char* out : {"4m", "3m", "11kN", "44kN", "(1)", "(4)"})
            EXPECT_FALSE(Has(c.Items(), out));
        const auto m = std::ranges::find(c.Items(), Rgb{230, 120, 0}, &Primitive::colour);
        ASSERT_EQ(m != c.Items().end(), left > 0);
        if (left == 0) continue;
        const double l = NodeX(b, left, 2), r = NodeX(b, right, 2);
        EXPECT_NEAR(m->x1 + m->x2, l + r, 1);
        EXPECT_NEAR(m->x2 - m->x1, span > 0 ? r - l : 5 * 15, 1);  // at least 5 pixels
    }
}

// Every kind of load on each of 1,000 spans: no label over another.
TEST(SchematicLong, LabelsApartAtThousandSpans) {
    Beam b = testing::LiveBeam(std::vector<double>(1000, 6), 10, 8);
    for (int k = 1; k <= b.N(); ++k) {
        b.cases[0].loads.push_back(Load::Point(k, 20 + k, 3));
        b.cases[0].loads.push_back(Load::Moment(k, 5, 1));
        b.supports[k] = k % 3 == 0 ? Support::Spring(1000 + k) : Support{};
        if (k % 3 == 1) b.cases[0].loads.push_back(Load::Settlement(k, 2));
    }
    Picture c;
    DrawSchematic(b, c);
    Items labels = c.Items();
    std::erase_if(labels, [](const Primitive& p) { return p.kind != Kind::Text; });
    ASSERT_GT(labels.size(), 10u);
    for (std::size_t i = 0; i < labels.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const auto [l1, r1] = Across(labels[i]);
            const auto [l2, r2] = Across(labels[j]);
            EXPECT_TRUE(r1 <= l2 || r2 <= l1 || std::fabs(labels[i].y1 - labels[j].y1) >= 240)
                << labels[i].text << " over " << labels[j].text;
        }
}

}  // namespace
}  // namespace cbeam
