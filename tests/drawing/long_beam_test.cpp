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

struct ThinRow {
    const char* name;
    int spans;
    int widthPixels;
};

class Thinning : public ::testing::TestWithParam<ThinRow> {};

// Interior supports (their lower circle) and dimension ticks (their stroke)
// stand apart by at least their width on a
// readable picture, and are not thinned further than that.
TEST_P(Thinning, SymbolsAndHatchingStandApart) {
    const ThinRow& row = GetParam();
    BeamState s = LongBeam(row.spans);
    const double W = row.widthPixels * kTwipsPerPixel;
    const auto lay = LayOutSchematic(s, W, 1635);
    ASSERT_TRUE(lay);
    const double y0 = lay->y0;
    ReadRecording schematic(W, 1635, kPixels);
    ReDrawAll(s, schematic);
    const auto supports = Xs(schematic.Items(), [&](const Primitive& p) {
        return p.kind == Primitive::Kind::Circle && p.y1 == static_cast<float>(y0 + 150);
    });
    const auto ticks = Xs(schematic.Items(), [&](const Primitive& p) {
        return p.kind == Primitive::Kind::Line && p.x1 == p.x2 &&
               p.y1 == static_cast<float>(y0 + 400);
    });
    const double beam = W - 2 * kMargin;
    // What fits at that spacing, or every one the beam has.
    const auto fits = [&](double width, int all) {
        return std::min<double>(all, std::floor(beam / width / 2));
    };
    EXPECT_GE(SmallestGap(supports), 240 - 1e-3);
    EXPECT_GE(supports.size(), fits(240, row.spans - 1));
    EXPECT_GE(SmallestGap(ticks), 60 - 1e-3);
    EXPECT_GE(ticks.size(), fits(60, row.spans + 1));
}

INSTANTIATE_TEST_SUITE_P(LongBeams, Thinning,
                         ::testing::Values(ThinRow{"three_spans", 3, 573},
                                           ThinRow{"twelve_spans", 12, 573},
                                           ThinRow{"hundred_spans_maximized", 100, 1900},
                                           ThinRow{"thousand_spans", 1000, 573},
                                           ThinRow{"longest_beam", 32766, 573}),
                         [](const auto& info) { return std::string(info.param.name); });

struct LabelRow {
    const char* name;
    int spans;
    int widthPixels;
    bool allNumbered;
};

class SchematicLabels : public ::testing::TestWithParam<LabelRow> {};

// No two labels of the schematic cover each other, the span numbers included,
// and the numbers are there where there is room for all of them.
TEST_P(SchematicLabels, NeverOverlapAndNumberTheSpans) {
    const LabelRow& row = GetParam();
    BeamState s = LongBeam(row.spans);
    ReadRecording c(row.widthPixels * kTwipsPerPixel, 109 * kTwipsPerPixel, kPixels);
    ReDrawAll(s, c);
    struct Box {
        double l, r, t, b;
        std::string text;
    };
    std::vector<Box> boxes;
    int numbers = 0;
    for (const Primitive& p : c.Items()) {
        if (p.kind != Primitive::Kind::Text) continue;
        const double w = kCharWidth * static_cast<double>(p.text.size());  // ASCII labels
        boxes.push_back({p.x1, p.x1 + w, p.y1, p.y1 + 16 * kTwipsPerPixel, p.text});
        numbers += p.text.starts_with('(');
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const Box &a = boxes[i], &b = boxes[j];
            const bool apart =
                a.r <= b.l + 1e-3 || b.r <= a.l + 1e-3 || a.b <= b.t + 1e-3 || b.b <= a.t + 1e-3;
            EXPECT_TRUE(apart) << a.text << " at " << a.l << "," << a.t << " covers " << b.text
                               << " at " << b.l << "," << b.t;
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

INSTANTIATE_TEST_SUITE_P(LongBeams, SchematicLabels,
                         ::testing::Values(LabelRow{"three_spans", 3, 573, true},
                                           LabelRow{"twelve_spans", 12, 573, true},
                                           LabelRow{"hundred_spans_maximized", 100, 1900, false},
                                           LabelRow{"thousand_spans", 1000, 573, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cbeam::test
