// The sheet's diagrams as recorded: no label crosses a curve.
#include <gtest/gtest.h>

#include "canvas/recording_canvas.h"
#include "common/beam_helpers.h"
#include "drawing/layout.h"
#include "model/driver.h"
#include "sheet/sheet.h"

namespace cbeam {
namespace {

using namespace testing;
struct Page : RecordingCanvas {  // no pixels, labels laid out as printed
    using RecordingCanvas::RecordingCanvas;
    DeviceScale LabelScale() const override { return {1 / 15.0, kDiagramTwipsPerUnit / 15}; }
};

struct LabelRow {
    const char* name;
    std::vector<SpanInput> spans;
    std::int16_t flagN;
    SheetFigure figure;
    std::size_t fewest;  // labels that must be there
};
class SheetLabels : public ::testing::TestWithParam<LabelRow> {};

TEST_P(SheetLabels, KeepOffTheCurves) {
    const LabelRow& row = GetParam();
    BeamState s = MakeBeam(row.spans, kTrue, row.flagN, 2);
    ASSERT_TRUE(RunAnalysis(s).status);
    Page page(657 * 15, 157 * 15 / kDiagramTwipsPerUnit);
    DrawSheetFigure(s, row.figure, 0, page);
    double axis = -1;  // the first box
    std::vector<Primitive> curves, labels;
    for (const Primitive& p : page.Items()) {
        if (p.kind == Primitive::Kind::Box && axis < 0) axis = p.y1;
        const bool hatch = p.x1 == p.x2 && (p.y1 == axis || p.y2 == axis);  // down to the axis
        if (p.kind == Primitive::Kind::Line && p.hasColour && !hatch) curves.push_back(p);
        if (p.kind == Primitive::Kind::Text) labels.push_back(p);
    }
    EXPECT_GE(labels.size(), row.fewest);
    const auto inside = [](const Primitive& t, double x, double y) {  // 100 units a character
        return x > t.x1 && x < t.x1 + 100.0 * t.text.size() && y > t.y1 &&
               y < t.y1 + 16 * 15 / kDiagramTwipsPerUnit;
    };
    for (const Primitive& t : labels)
        for (const Primitive& c : curves)
            for (double k = 0; k <= 1; k += 1 / 256.0)
                ASSERT_FALSE(inside(t, c.x1 + (c.x2 - c.x1) * k, c.y1 + (c.y2 - c.y1) * k))
                    << t.text << " crossed by " << ListLine(c);
}

// Every kind of load, a clamped end's moment at the edge, steep point loads.
const std::vector<SpanInput> kSample = {{4, 2, 1, 10, 1}, {6, 1.5, 2, 20, 0.25}, {5, 1, 1, 5, 0.5}};
const std::vector<SpanInput> kSteep = {{2, 1, 2, 80, 0.1}, {8, 1, 1, 2, 1}, {3, 1, 2, 40, 0.9}};

INSTANTIATE_TEST_SUITE_P(
    Figures, SheetLabels,
    ::testing::Values(LabelRow{"sample_moments", kSample, kFalse, SheetFigure::Moment, 7},
                      LabelRow{"sample_shears", kSample, kFalse, SheetFigure::Shear, 6},
                      LabelRow{"sample_deflections", kSample, kFalse, SheetFigure::Deflection, 3},
                      LabelRow{"clamped_moments", kSample, kTrue, SheetFigure::Moment, 7},
                      LabelRow{"steep_moments", kSteep, kTrue, SheetFigure::Moment, 7},
                      LabelRow{"steep_shears", kSteep, kTrue, SheetFigure::Shear, 6}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cbeam
