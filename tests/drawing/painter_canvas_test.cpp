// The canvases behind the pictures: pixels of the image canvas, and the
// listing of the recording canvas.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "canvas/image_canvas.h"
#include "drawing/layout.h"
#include "drawing_test_util.h"
#include "model/compute.h"

namespace cbeam::test {
namespace {

void EnsureGui() {
    // Made once and never destroyed: Qt's own globals may already be gone
    // when static objects are torn down at exit.
    static QGuiApplication* app = nullptr;
    if (app) return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "test_drawing";
    static char* argv[] = {name, nullptr};
    app = new QGuiApplication(argc, argv);
}

// Three spans of 6, 4.5 and 5 m, fixed at both ends: a full uniform load,
// a point load at mid-span and a uniform load over 0.6 of the last span.
BeamState ThreeSpans() {
    BeamState s = testing::MakeBeam({{6, 1, 1, 20, 1}, {4.5, 1.5, 2, 50, 0.5}, {5, 1, 1, 15, 0.6}},
                                    kTrue, kTrue);
    EXPECT_EQ(Analyse(s), SolveStatus::Solved);
    return s;
}

const QColor kForeground(128, 0, 0), kBlack(0, 0, 0);

struct Probe {
    const QImage& image;
    double sx, sy;  // device pixels per canvas unit
    int Px(double x) const { return static_cast<int>(std::floor(x * sx)); }
    int Py(double y) const { return static_cast<int>(std::floor(y * sy)); }
    QColor At(double x, double y) const { return image.pixelColor(Px(x), Py(y)); }
    // Pixels near the foreground colour in the box a label of n characters takes.
    int Ink(const Primitive& t) const {
        int ink = 0;
        const int chars = static_cast<int>(t.text.size());
        for (int y = Py(t.y1); y < Py(t.y1) + static_cast<int>(14 * sx * 15); ++y) {
            for (int x = Px(t.x1); x < Px(t.x1 + 100.0 * chars); ++x) {
                if (!image.valid(x, y)) continue;
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 60 && c.green() < 120 && c.blue() < 120) ++ink;
            }
        }
        return ink;
    }
};

class ImageCanvasDpr : public ::testing::TestWithParam<double> {
  protected:
    void SetUp() override { EnsureGui(); }
    // Draws on both canvases; the recording says where the pixels must be.
    // Every label leaves ink where it is laid out.
    template <class Draw>
    Items Render(ImageCanvas& canvas, Draw draw) {
        BeamState s = ThreeSpans();
        canvas.SetForeground(kForeground);
        canvas.Clear();
        draw(s, canvas);
        RecordingCanvas rec(canvas.ScaleWidth(), canvas.ScaleHeight());
        draw(s, rec);
        const double dpr = GetParam();
        const Probe p{canvas.Image(), dpr / 15, canvas.TwipsPerVerticalUnit() * dpr / 15};
        for (const Primitive& t : OfKind(rec.Items(), Kind::Text)) {
            EXPECT_GT(p.Ink(t), 8 * dpr * dpr) << t.text;
        }
        return rec.Items();
    }
};

TEST_P(ImageCanvasDpr, SchematicLandsWhereItIsLaidOut) {
    const double dpr = GetParam();
    ImageCanvas canvas(QSize(577, 113), 1.0, dpr);
    const Items items = Render(canvas, [](BeamState& s, Canvas& c) { ReDrawAll(s, c); });
    const QImage& image = canvas.Image();
    ASSERT_EQ(image.size(), QSize(static_cast<int>(std::ceil(577 * dpr)),
                                  static_cast<int>(std::ceil(113 * dpr))));
    EXPECT_EQ(image.devicePixelRatio(), dpr);
    const Probe p{image, dpr / 15, dpr / 15};
    const float y0 = items.front().y1;
    EXPECT_EQ(y0, 648);
    const Items supports = Select(
        items, [y0](const Primitive& q) { return q.kind == Kind::Circle && q.y1 == y0 + 150; });
    ASSERT_EQ(supports.size(), 2u);
    const double node2 = supports[0].x1, node3 = supports[1].x1;
    // the bar's lower edge in the middle of the second span's left half
    EXPECT_EQ(p.At((3 * node2 + node3) / 4, y0 + 15), QColor(0, 0, 225));
    // the left wall; nothing beyond the right one
    EXPECT_EQ(p.At(590, y0 + 50), kBlack);
    EXPECT_EQ(p.At(image.width() / p.sx - 1, y0 + 50), QColor(Qt::white));
    // interior supports: the right edge of the upper circle, the top of the
    // lower one (whose centre row the base covers), the base itself
    const int r = static_cast<int>(std::lround(30 * p.sx));
    for (double x : {node2, node3}) {
        EXPECT_EQ(image.pixelColor(p.Px(x) + r, p.Py(y0 + 30)), kForeground) << x;
        EXPECT_EQ(image.pixelColor(p.Px(x), p.Py(y0 + 150) - r), kForeground) << x;
        EXPECT_EQ(p.At(x - 50, y0 + 180), kBlack) << x;
    }
    // arrows of the first span reach down to the bar
    EXPECT_EQ(p.At(600, y0 - 100), kForeground);
}

TEST_P(ImageCanvasDpr, DiagramLandsWhereItIsLaidOut) {
    const double dpr = GetParam();
    ImageCanvas canvas(QSize(577, 161), kDiagramTwipsPerUnit, dpr);
    const Items items = Render(canvas, [](BeamState& s, Canvas& c) { DrawM(s, c); });
    const Probe p{canvas.Image(), dpr / 15, kDiagramTwipsPerUnit * dpr / 15};
    const Primitive axis = items.front();
    EXPECT_EQ(axis.y1, 966);
    const QColor diagram(50, 50, 255);
    // the axis's lower edge, away from the supports
    EXPECT_EQ(p.At(1000, axis.y2), kBlack);
    // the closing line at the right end, drawn last
    const Primitive& closing = items.back();
    ASSERT_NE(closing.y1, closing.y2);
    EXPECT_EQ(p.At(closing.x1, (closing.y1 + closing.y2) / 2), diagram);
    // hatch lines, where they are long and clear of every label
    const Items texts = OfKind(items, Kind::Text);
    const auto clear = [&](double x, double y) {
        return std::none_of(texts.begin(), texts.end(), [&](const Primitive& t) {
            return x >= t.x1 - 150 && x <= t.x1 + 150 * t.text.size() && y >= t.y1 - 100 &&
                   y <= t.y1 + 300;
        });
    };
    int probed = 0;
    for (const Primitive& q : items) {
        const double mid = (q.y1 + q.y2) / 2;
        if (q.kind != Kind::Line || !(q.colour == Rgb{50, 50, 255}) || q.x1 != q.x2 ||
            q.y2 != axis.y1 || std::fabs(q.y1 - q.y2) < 200 || !clear(q.x1, mid)) {
            continue;
        }
        EXPECT_EQ(p.At(q.x1, mid), diagram) << q.x1;
        ++probed;
    }
    EXPECT_GT(probed, 10);
}

INSTANTIATE_TEST_SUITE_P(Scales, ImageCanvasDpr, ::testing::Values(1.0, 1.5, 2.0));

TEST(ImageCanvas, ColoursAndScale) {
    EnsureGui();
    ImageCanvas c(QSize(100, 50), kDiagramTwipsPerUnit, 1.0);
    c.SetBackground(QColor(10, 20, 30));
    c.Clear();
    EXPECT_EQ(c.Image().pixelColor(0, 0), QColor(10, 20, 30));
    c.SetForeground(Qt::red);
    c.Line(0, 0, 1500, 0);
    c.Circle(750, 300 / kDiagramTwipsPerUnit, 150);  // round: radius 10 pixels both ways
    const QImage& image = c.Image();
    for (int x = 0; x < 100; ++x) EXPECT_EQ(image.pixelColor(x, 0), QColor(Qt::red)) << x;
    for (const QPoint at : {QPoint(60, 20), QPoint(40, 20), QPoint(50, 30), QPoint(50, 10)}) {
        EXPECT_EQ(image.pixelColor(at), QColor(Qt::red)) << at.x() << "," << at.y();
    }
    EXPECT_EQ(image.pixelColor(50, 20), QColor(10, 20, 30));
}

TEST(ImageCanvas, ImageHandedOutKeepsItsPixels) {
    EnsureGui();
    ImageCanvas c(QSize(40, 20));
    c.Clear();
    const QImage before = c.Image();
    c.Box(0, 0, 300, 150, Rgb{0, 200, 0});  // an outline, right and bottom edges included
    EXPECT_EQ(before.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(c.Image().pixelColor(0, 0), QColor(0, 200, 0));
    EXPECT_EQ(c.Image().pixelColor(20, 10), QColor(0, 200, 0));
    EXPECT_EQ(c.Image().pixelColor(10, 5), QColor(Qt::white));
}

// Latin and CJK take the canvas's own glyph path; Hebrew and malformed bytes
// go through QPainter.
TEST(ImageCanvas, TextInEveryScript) {
    EnsureGui();
    for (const char* t : {"-10.00000kNm", "第1跨", "שלום", "\xff\xfe bad"}) {
        ImageCanvas c(QSize(100, 30));
        c.Clear();
        c.Print(15, 15, t);
        int ink = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 100; ++x) ink += c.Image().pixelColor(x, y).lightness() < 128;
        }
        EXPECT_GT(ink, 5) << t;
    }
}

TEST(ImageCanvas, WildCoordinatesAreSafe) {
    EnsureGui();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float big = 3e38f;
    ImageCanvas c(QSize(100, 50));
    c.Clear();
    const double took = Seconds([&] {
        c.Line(-big, 150, big, 150);
        c.Line(nan, 0, 10, 10);
        c.Line(0, inf, 10, 10);
        c.Line(-big, -big, big, big);
        c.Box(-big, -big, big, big, Rgb{0, 0, 0});
        c.Circle(750, 375, big);
        c.Circle(750, 375, 1e7f);
        c.Circle(nan, 0, 30);
        c.Circle(-big, big, 30);
        c.Print(nan, 0, "x");
        c.Print(big, -big, "x");
    });
    EXPECT_LT(took, 1.0);
    for (int x = 0; x < 100; ++x) EXPECT_EQ(c.Image().pixelColor(x, 10), kBlack) << x;

    ImageCanvas empty(QSize(0, 0));
    empty.Clear();
    empty.Line(0, 0, 10, 10);
    empty.Print(0, 0, "x");
    EXPECT_TRUE(empty.Image().isNull());
    BeamState s = ThreeSpans();
    ReDrawAll(s, empty);
    DrawM(s, empty);
}

TEST(Listing, OneLinePerPrimitive) {
    RecordingCanvas c(8600, 2080);
    c.Line(600, 940, 2000.0f / 15, -0.5f);
    c.Line(1, 2, 3, 4, Rgb{50, 50, 255});
    c.Box(600, 940, 8000, 955, Rgb{0, 0, 225});
    c.Circle(3560, 970, 30);
    c.Print(3700, 1720, "-10.00000kNm");
    c.Print(0, 0, "say \"hi\"\\\n第1跨");
    EXPECT_EQ(ListPrimitives(c.Items()),
              "line 600 940 133.333328 -0.5\n"
              "line 1 2 3 4 50 50 255\n"
              "box 600 940 8000 955 0 0 225\n"
              "circle 3560 970 30\n"
              "text 3700 1720 \"-10.00000kNm\"\n"
              "text 0 0 \"say \\\"hi\\\"\\\\\\n第1跨\"\n");
    c.Clear();
    EXPECT_TRUE(c.Items().empty());
    EXPECT_EQ(c.Clears(), 1);
}

}  // namespace
}  // namespace cbeam::test
