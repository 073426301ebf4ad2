// Long beams on pictures that people read: symbols and hatching thinned to
// what can be told apart, labels (span numbers among them) never over one
// another, the chosen span's mark; the recording canvas keeps the design's
// primitives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "drawing/layout.h"
#include "drawing_test_util.h"
#include "model/design.h"
#include "model/driver.h"

namespace cbeam::test {
namespace {

// A picture that people read: a device resolution and a label scale.
struct ReadRecording : PixelRecording {
    using PixelRecording::PixelRecording;
    DeviceScale LabelScale() const override { return scale; }
};

constexpr DeviceScale kPixels{1 / kTwipsPerPixel, 1 / kTwipsPerPixel};

// n spans of 6 m alternating a uniform and a point load, solved.
BeamState LongBeam(int n) {
    Spans spans;
    for (int i = 0; i < n; ++i) {
        spans.push_back(i % 2 == 0 ? testing::SpanInput{6, 1, 1, 10, 1}
                                   : testing::SpanInput{6, 1, 2, 20, 0.5});
    }
    BeamState s = Beam(spans);
    EXPECT_TRUE(RunAnalysis(s).status);
    return s;
}

// The x of every primitive that `is` picks, in order of x.
template <class Is>
std::vector<double> Xs(const Items& items, Is is) {
    std::vector<double> xs;
    for (const Primitive& p : items)
        if (is(p)) xs.push_back(p.x1);
    std::sort(xs.begin(), xs.end());
    return xs;
}

double SmallestGap(const std::vector<double>& xs) {
    double gap = HUGE_VAL;
    for (std::size_t i = 1; i < xs.size(); ++i) gap = std::min(gap, xs[i] - xs[i - 1]);
    return gap;
}

// A font wider than the drawings' estimate of 100 units a character, as the
// window's is for most labels.
constexpr double kWideChar = 140;
struct WideFont : ReadRecording {
    using ReadRecording::ReadRecording;
    double TextWidth(std::string_view text) const override {
        return kWideChar * static_cast<double>(text.size());  // ASCII labels
    }
};

enum class Drawing { Schematic, Moment, Shear, Deflection };
struct LabelRow {
    std::string name;
    Drawing drawing;
    int spans;
    int widthPixels;
    bool allNumbered;
};

class Labels : public ::testing::TestWithParam<LabelRow> {};

// No two labels of a drawing cover each other as the canvas measures them,
// the schematic's span numbers included, and the numbers are there where
// there is room for all of them.
TEST_P(Labels, NeverOverlapAsTheCanvasMeasuresThem) {
    const LabelRow& row = GetParam();
    BeamState s = LongBeam(row.spans);
    const bool schematic = row.drawing == Drawing::Schematic;
    const double perUnit = schematic ? 1 : kDiagramTwipsPerUnit;
    const CanvasSize size = ScaleOf({row.widthPixels, schematic ? 109 : 157}, perUnit);
    WideFont c(size.width, size.height, {1 / kTwipsPerPixel, perUnit / kTwipsPerPixel});
    if (schematic) ReDrawAll(s, c);
    if (row.drawing == Drawing::Moment) DrawM(s, c);
    if (row.drawing == Drawing::Shear) DrawV(s, ComputeDesignValues(s), c);
    if (row.drawing == Drawing::Deflection) DrawW(s, ComputeDesignValues(s), c);
    struct Box {
        double l, r, t, b;
        std::string text;
    };
    std::vector<Box> boxes;
    int numbers = 0;
    for (const Primitive& p : c.Items()) {
        if (p.kind != Primitive::Kind::Text) continue;
        boxes.push_back(
            {p.x1, p.x1 + c.TextWidth(p.text), p.y1, p.y1 + 16 * kTwipsPerPixel / perUnit, p.text});
        numbers += p.text.starts_with('(');
    }
    ASSERT_GT(boxes.size(), 2u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const Box &a = boxes[i], &b = boxes[j];
            const bool apart =
                a.r <= b.l + 1e-3 || b.r <= a.l + 1e-3 || a.b <= b.t + 1e-3 || b.b <= a.t + 1e-3;
            EXPECT_TRUE(apart) << a.text << " at " << a.l << "," << a.t << " covers " << b.text
                               << " at " << b.l << "," << b.t;
        }
    }
    if (!schematic) return;
    // Supports (their lower circle) and ticks (their stroke) stand their width
    // apart and are not thinned further, ticks where the lengths leave room.
    const double y0 = LayOutSchematic(s, size.width, size.height)->y0;
    const auto supports = Xs(c.Items(), [&](const Primitive& p) {
        return p.kind == Primitive::Kind::Circle && p.y1 == static_cast<float>(y0 + 150);
    });
    const auto ticks = Xs(c.Items(), [&](const Primitive& p) {
        return p.kind == Primitive::Kind::Line && p.x1 == p.x2 && p.y1 == float(y0 + 400);
    });
    const auto fits = [&](double width, int all) {
        return std::min<double>(all, std::floor((size.width - 2 * kMargin) / width / 2));
    };
    EXPECT_GE(SmallestGap(supports), 240 - 1e-3);
    EXPECT_GE(supports.size(), fits(240, row.spans - 1));
    EXPECT_GE(SmallestGap(ticks), 60 - 1e-3);
    EXPECT_GE(ticks.size(), row.spans <= 3 ? fits(60, row.spans + 1) : 0);
    // Nor do the supports' circles and the stems of ticks and supports cross them.
    for (const Primitive& p : c.Items()) {
        const bool stem = p.kind == Primitive::Kind::Line && !p.hasColour && p.x1 == p.x2;
        if (!stem && p.kind != Primitive::Kind::Circle) continue;
        const double r = stem ? 0 : p.r, top = (stem ? std::min(p.y1, p.y2) : p.y1) - r,
                     bottom = (stem ? std::max(p.y1, p.y2) : p.y1) + r;
        for (const Box& b : boxes) {
            EXPECT_TRUE(p.x1 + r <= b.l || p.x1 - r >= b.r || bottom <= b.t || top >= b.b)
                << ListLine(p) << " crosses " << b.text << " at " << b.l << "," << b.t;
        }
    }
    if (row.allNumbered) {
        EXPECT_EQ(numbers, row.spans);
    } else {
        EXPECT_GT(numbers, 0);
    }
    // The recording canvas, which the listing compares, gets no numbers.
    PixelRecording plain(c.ScaleWidth(), c.ScaleHeight(), {});
    ReDrawAll(s, plain);
    for (const Primitive& p : plain.Items()) EXPECT_FALSE(p.text.starts_with('(')) << p.text;
}

std::vector<LabelRow> LabelRows() {
    std::vector<LabelRow> rows{{"schematic_longest_beam", Drawing::Schematic, 32766, 573, false}};
    for (const auto& [d, name] : {std::pair(Drawing::Schematic, "schematic"),
                                 {Drawing::Moment, "moments"},
                                 {Drawing::Shear, "shears"},
                                 {Drawing::Deflection, "deflections"}}) {
        for (const auto& [what, spans, width] : {std::tuple("three_spans", 3, 573),
                                                {"twelve_spans", 12, 573},
                                                {"hundred_spans_maximized", 100, 1900},
                                                {"thousand_spans", 1000, 573}})
            rows.push_back({std::string(name) + "_" + what, d, spans, width, spans <= 12});
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(LongBeams, Labels, ::testing::ValuesIn(LabelRows()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cbeam::test
