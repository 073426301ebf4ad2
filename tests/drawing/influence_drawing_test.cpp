// An influence line as recorded: each hatch line on the side and in the
// colour of its ordinate's sign, at one scale, the section marked, the
// largest and smallest ordinates labelled and no two labels overlapping.
#include "drawing/influence_drawing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "canvas/recording_canvas.h"
#include "common/beam_helpers.h"
#include "drawing/layout.h"
#include "drawing/plotter.h"
#include "text/format.h"

namespace cbeam {
namespace {

using analysis::InfluenceAt;
using analysis::InfluenceOf;

struct Page : RecordingCanvas {  // no pixels, labels laid out as printed
    using RecordingCanvas::RecordingCanvas;
    DeviceScale LabelScale() const override { return {1 / 15.0, 1 / 15.0}; }
};

struct InfluenceRow {
    const char* name;
    std::vector<double> lengths;
    bool cantilever;
    InfluenceAt at;
    const char* unit;
};
class InfluenceDrawing : public ::testing::TestWithParam<InfluenceRow> {};

TEST_P(InfluenceDrawing, HatchBySignAndLabelsApart) {
    const InfluenceRow& row = GetParam();
    const Beam b = testing::LiveBeam(row.lengths, 10, 8, row.cantilever);
    analysis::Engine engine;
    ASSERT_TRUE(engine.Build(b));
    analysis::InfluenceLine line;
    ASSERT_TRUE(line.Build(engine, b, row.at));
    Page page(657 * 15, 157 * 15);
    DrawInfluence(b, line, row.at, page);
    const double kx = (std::round(page.ScaleWidth() - kMargin) - kMargin) / line.Length();
    const double down = row.at.what == InfluenceOf::Deflection ? -1 : 1;
    double y0 = -1, k = 0;
    std::vector<Primitive> labels;
    std::vector<std::string> texts;
    std::vector<std::pair<Primitive, double>> hatches;  // with the ordinate there
    bool marked = false;
    for (const Primitive& p : page.Items()) {
        if (p.kind == Primitive::Kind::Box && y0 < 0) y0 = p.y1;
        if (p.kind == Primitive::Kind::Text) labels.push_back(p), texts.push_back(p.text);
        if (p.kind != Primitive::Kind::Line || !p.hasColour) continue;
        const double u = (p.x1 - kMargin) / kx;
        const double section = row.at.what == InfluenceOf::Reaction
                                   ? line.Start(row.at.node)
                                   : line.Start(row.at.span) + row.at.x;
        if (p.colour == drawing_detail::kBlack && std::fabs(u - section) < 1e-3 && p.y1 == y0 + 15)
            marked = true;
        // Hatch lines reach the axis; the curve's upright strokes (a jump) do not.
        if (p.x1 != p.x2 || p.y2 != y0 || p.colour == drawing_detail::kBlack) continue;
        int s = 1;
        while (s < b.N() && u > line.Start(s + 1)) ++s;
        const double x = u - line.Start(s);
        if (std::fabs(x) * kx < 3 || std::fabs(x - b.SpanAt(s).L) * kx < 3) continue;
        const double v = line.At(s, x);
        if (std::fabs(v) < 0.02 * std::max(line.Max().value, -line.Min().value)) continue;
        hatches.push_back({p, v});
        k = std::max(k, (y0 - p.y1) * down / v);
    }
    ASSERT_GT(hatches.size(), 40u);
    EXPECT_TRUE(marked) << "the section's mark";
    for (const auto& [h, v] : hatches) {
        EXPECT_EQ(h.colour, v > 0 ? drawing_detail::kDiagram : kNegativeHatch) << v;
        EXPECT_NEAR(h.y1, y0 - down * k * v, 0.01 * page.ScaleHeight()) << v;
    }
    for (const double v : {line.Max().value, line.Min().value}) {
        if (std::fabs(v) <= 1e-9) continue;
        EXPECT_NE(std::ranges::find(texts, Format(v, "#####0.0000") + row.unit), texts.end()) << v;
    }
    for (std::size_t i = 0; i < labels.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const Primitive &a = labels[i], &c = labels[j];
            const bool apart = a.x1 + 100.0 * CountChars(a.text) <= c.x1 ||
                               c.x1 + 100.0 * CountChars(c.text) <= a.x1 ||
                               std::fabs(a.y1 - c.y1) >= 16 * 15;
            EXPECT_TRUE(apart) << a.text << " over " << c.text;
        }
}

using S = analysis::Side;
INSTANTIATE_TEST_SUITE_P(
    Rows, InfluenceDrawing,
    ::testing::Values(
        InfluenceRow{"moment_in_span", {6, 6}, false, {InfluenceOf::Moment, 1, 2.5}, "kN·m/kN"},
        InfluenceRow{"shear_jump", {6, 6}, false, {InfluenceOf::Shear, 1, 2, S::Right}, "kN/kN"},
        InfluenceRow{"reaction_by_cantilever",
                     {2, 5, 4},
                     true,
                     {InfluenceOf::Reaction, 1, 0, S::Right, 2},
                     "kN/kN"},
        InfluenceRow{"deflection_down", {6, 6}, false, {InfluenceOf::Deflection, 2, 3}, "mm/kN"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cbeam
