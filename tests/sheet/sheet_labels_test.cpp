// The sheet's diagrams as recorded: no label crosses a curve or another label.
#include <gtest/gtest.h>

#include <string>

#include "canvas/recording_canvas.h"
#include "common/beam_helpers.h"
#include "drawing/layout.h"
#include "model/driver.h"
#include "sheet/sheet.h"

namespace cbeam {
namespace {

using namespace testing;

// A page: no pixels, labels laid out at the size they print.
struct Page : RecordingCanvas {
    using RecordingCanvas::RecordingCanvas;
    DeviceScale LabelScale() const override {
        return {1 / kTwipsPerPixel, kDiagramTwipsPerUnit / kTwipsPerPixel};
    }
};

struct Box {
    double l, r, t, b;
};

// Whether the segment from (x1, y1) to (x2, y2) passes through the box,
// sampled finely enough for these drawings.
bool Crosses(const Primitive& p, const Box& b) {
    for (int i = 0; i <= 200; ++i) {
        const double x = p.x1 + (p.x2 - p.x1) * i / 200, y = p.y1 + (p.y2 - p.y1) * i / 200;
        if (x > b.l && x < b.r && y > b.t && y < b.b) return true;
    }
    return false;
}

struct LabelRow {
    const char* name;
    std::vector<SpanInput> spans;
    std::int16_t flagN;
    SheetFigure figure;
    std::size_t fewest;  // labels that must be there
};

class SheetLabels : public ::testing::TestWithParam<LabelRow> {};

TEST_P(SheetLabels, KeepOffTheCurvesAndEachOther) {
    const LabelRow& row = GetParam();
    BeamState s = MakeBeam(row.spans, kTrue, row.flagN, 2);
    ASSERT_TRUE(RunAnalysis(s).status);
    const CanvasSize size = ScaleOf({657, 157}, kDiagramTwipsPerUnit);
    Page page(size.width, size.height);
    DrawSheetFigure(s, row.figure, 0, page);
    double axis = -1;
    std::vector<Primitive> curves;
    std::vector<std::pair<Box, std::string>> labels;
    for (const Primitive& p : page.Items()) {
        if (p.kind == Primitive::Kind::Box && axis < 0) axis = p.y1;
        // Hatch lines run from the curve to the axis; the curve's own are the rest.
        const bool hatch = p.x1 == p.x2 && (p.y1 == axis || p.y2 == axis);
        if (p.kind == Primitive::Kind::Line && p.hasColour && !hatch) curves.push_back(p);
        if (p.kind == Primitive::Kind::Text) {
            const double w = 100.0 * static_cast<double>(p.text.size());  // ASCII labels
            labels.push_back(
                {{p.x1, p.x1 + w, p.y1, p.y1 + 16 * 15 / kDiagramTwipsPerUnit}, p.text});
        }
    }
    ASSERT_GT(curves.size(), 2u);
    EXPECT_GE(labels.size(), row.fewest);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const auto& [box, text] = labels[i];
        EXPECT_TRUE(box.t >= 0 && box.b <= size.height) << text << " off the picture";
        for (const Primitive& c : curves) {
            EXPECT_FALSE(Crosses(c, box))
                << text << " at " << box.l << "," << box.t << " crossed by " << ListLine(c);
        }
        for (std::size_t j = i + 1; j < labels.size(); ++j) {
            const Box& o = labels[j].first;
            EXPECT_TRUE(box.r <= o.l || o.r <= box.l || box.b <= o.t || o.b <= box.t)
                << text << " over " << labels[j].second;
        }
    }
}

// Every kind of load, a clamped right end with its moment at the picture's
// edge, a point load near a support, twelve spans to a row.
const std::vector<SpanInput> kSample = {{4, 2, 1, 10, 1}, {6, 1.5, 2, 20, 0.25}, {5, 1, 1, 5, 0.5}};
const std::vector<SpanInput> kSteep = {{2, 1, 2, 80, 0.1}, {8, 1, 1, 2, 1}, {3, 1, 2, 40, 0.9}};
std::vector<SpanInput> Twelve() {
    std::vector<SpanInput> spans;
    for (int i = 0; i < 12; ++i) spans.push_back({3.0 + i % 3, 1, 1 + i % 2, 10.0 + i, 0.5});
    return spans;
}

INSTANTIATE_TEST_SUITE_P(
    Figures, SheetLabels,
    ::testing::Values(LabelRow{"sample_moments", kSample, kFalse, SheetFigure::Moment, 7},
                      LabelRow{"sample_shears", kSample, kFalse, SheetFigure::Shear, 6},
                      LabelRow{"sample_deflections", kSample, kFalse, SheetFigure::Deflection, 3},
                      LabelRow{"clamped_moments", kSample, kTrue, SheetFigure::Moment, 7},
                      LabelRow{"steep_moments", kSteep, kTrue, SheetFigure::Moment, 7},
                      LabelRow{"steep_shears", kSteep, kTrue, SheetFigure::Shear, 6},
                      LabelRow{"twelve_moments", Twelve(), kFalse, SheetFigure::Moment, 12},
                      LabelRow{"twelve_shears", Twelve(), kFalse, SheetFigure::Shear, 12}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cbeam
