// The envelope drawings as recorded: the hatching reaches from the largest to
// the smallest value at one scale, largest up, and no two labels overlap.
#include "drawing/envelope_drawing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "canvas/recording_canvas.h"
#include "common/beam_helpers.h"
#include "drawing/layout.h"
#include "text/format.h"

namespace cbeam {
namespace {

using analysis::Quantity;

struct Page : RecordingCanvas {  // no pixels, labels laid out as printed
    using RecordingCanvas::RecordingCanvas;
    DeviceScale LabelScale() const override { return {1 / 15.0, 1 / 15.0}; }
};

struct EnvelopeRow {
    const char* name;
    std::vector<double> lengths;
    bool cantilever;
    Quantity q;
    std::size_t fewest;  // labels that must be there
};
class EnvelopeDrawing : public ::testing::TestWithParam<EnvelopeRow> {};

TEST_P(EnvelopeDrawing, HatchFromMaxToMinAndLabelsApart) {
    const EnvelopeRow& row = GetParam();
    const Beam b = testing::LiveBeam(row.lengths, 10, 8, row.cantilever);
    analysis::Engine engine;
    ASSERT_TRUE(engine.Build(b));
    analysis::Envelope env;
    env.Build(engine, b, CombinationsOf(b)[0]);
    Page page(657 * 15, 157 * 15);
    DrawEnvelope(b, env, row.q, page);
    double total = 0, y0 = -1, k = 0, widest = 0;
    for (const double L : row.lengths) total += L;
    const double kx = (std::round(page.ScaleWidth() - kMargin) - kMargin) / total;
    struct Hatch {
        double y1, y2;
        analysis::Extremes e;
    };
    std::vector<Hatch> hatches;
    std::vector<Primitive> labels;
    for (const Primitive& p : page.Items()) {
        if (p.kind == Primitive::Kind::Box && y0 < 0) y0 = p.y1;
        if (p.kind == Primitive::Kind::Text) labels.push_back(p);
        if (p.kind != Primitive::Kind::Line || !p.hasColour || p.x1 != p.x2) continue;
        double u = (p.x1 - kMargin) / kx, near = 1e9;  // the span and x of the line
        std::size_t s = 0;
        for (double d = 0; s < row.lengths.size(); d += row.lengths[s++]) {
            near = std::min({near, std::fabs(u - d), std::fabs(u - d - row.lengths[s])});
            if (u <= d + row.lengths[s]) {
                u -= d;
                break;
            }
        }
        if (near * kx < 3) continue;  // a curve's jump or end at a support
        const double x[] = {u};
        const analysis::Extremes e = env.Along(static_cast<int>(s) + 1, row.q, x)[0];
        hatches.push_back({p.y1, p.y2, e});
        if (e.max - e.min > widest) widest = e.max - e.min, k = (p.y2 - p.y1) / widest;
    }
    ASSERT_GT(hatches.size(), 40u);
    EXPECT_GT(k, 0) << "the largest value drawn above the smallest";
    for (const Hatch& h : hatches) {
        EXPECT_NEAR(h.y1, y0 - k * h.e.max, 0.01 * page.ScaleHeight()) << h.e.max;
        EXPECT_NEAR(h.y2, y0 - k * h.e.min, 0.01 * page.ScaleHeight()) << h.e.min;
    }
    EXPECT_GE(labels.size(), row.fewest);
    for (std::size_t i = 0; i < labels.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const Primitive &a = labels[i], &c = labels[j];
            const bool apart = a.x1 + 100.0 * CountChars(a.text) <= c.x1 ||
                               c.x1 + 100.0 * CountChars(c.text) <= a.x1 ||
                               std::fabs(a.y1 - c.y1) >= 16 * 15;
            EXPECT_TRUE(apart) << a.text << " over " << c.text;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EnvelopeDrawing,
    ::testing::Values(EnvelopeRow{"three_spans_moment", {6, 6, 6}, false, Quantity::Moment, 9},
                      EnvelopeRow{"three_spans_shear", {6, 6, 6}, false, Quantity::Shear, 10},
                      EnvelopeRow{"cantilever_moment", {2, 5, 4}, true, Quantity::Moment, 7},
                      EnvelopeRow{"twelve_spans_shear", std::vector<double>(12, 6), false,
                                  Quantity::Shear, 24}),
    [](const auto& info) { return std::string(info.param.name); });

// Deflections keep three significant digits however small: a stiff beam's
// are hundredths of a millimetre, and three decimals would leave one digit.
TEST(EnvelopeDrawingText, DeflectionsKeepThreeSignificantDigits) {
    Beam b = testing::LiveBeam({6, 6, 6}, 10, 8, false);
    b.EIo = 100;
    analysis::Engine engine;
    ASSERT_TRUE(engine.Build(b));
    analysis::Envelope env;
    env.Build(engine, b, CombinationsOf(b)[1]);
    Page page(657 * 15, 157 * 15);
    DiagramStyle style;
    style.threeDecimals = true;
    DrawEnvelope(b, env, Quantity::Deflection, page, style);
    int small = 0;
    for (const Primitive& p : page.Items()) {
        if (p.kind != Primitive::Kind::Text) continue;
        const std::string digits = p.text.substr(0, p.text.find("mm"));
        const auto first = digits.find_first_of("123456789");
        if (first == std::string::npos) continue;
        if (std::fabs(std::stod(digits)) < 0.1) ++small;
        int significant = 0;
        for (std::size_t i = first; i < digits.size(); ++i) significant += digits[i] != '.';
        EXPECT_GE(significant, 3) << p.text;
    }
    EXPECT_GT(small, 0) << "the beam's deflections are that small";
}

}  // namespace
}  // namespace cbeam
