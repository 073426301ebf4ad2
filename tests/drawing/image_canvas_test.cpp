// The image canvas: pixels where the drawings put them, Chinese labels, and
// long beams thinned out to what the picture can show.
#include "canvas/image_canvas.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QGuiApplication>
#include <QRectF>
#include <cmath>

#include "drawing/layout.h"
#include "drawing_test_util.h"
#include "files/bmf.h"
#include "model/driver.h"
#include "text/format.h"

namespace cbeam::test {
namespace {

const QColor kRed(Qt::red), kWhite(Qt::white), kGreen(0, 200, 0), kHatch(50, 50, 255);

int Ink(const QImage& im, QRect area, auto isInk) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += im.valid(x, y) && isInk(im.pixelColor(x, y));
        }
    }
    return n;
}

// Spans of 3 to 8 m with every kind of load, fixed ends, as the benchmark draws.
BeamState LongBeam(int n) {
    BeamState s = testing::MakeBeam({}, kTrue, kTrue);
    s.SizeAll(n);
    for (int i = 1; i <= n; ++i) {
        s.L(i) = 3 + (i * 7) % 6, s.EI(i) = 1 + (i % 3) * 0.5, s.LoadType(i) = i % 3;
        s.Q(i) = 5 + (i * 13) % 40, s.A(i) = 0.1 + 0.8 * ((i * 5) % 9) / 8.0;
    }
    EXPECT_TRUE(RunAnalysis(s).status);
    return s;
}

class ImageCanvasTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_drawing", *argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);  // lives to the end
    }
};

TEST_F(ImageCanvasTest, LinesBoxesAndCirclesLandOnTheirPixels) {
    for (const double dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        ImageCanvas c(QSize(100, 50), kDiagramTwipsPerUnit, dpr);
        c.Clear();
        const QImage blank = c.Image();
        c.SetForeground(kRed);
        // a quarter into logical pixels, clear of rounding at either ratio
        const auto y = [](double px) { return (px + 0.25) * 15 / kDiagramTwipsPerUnit; };
        c.Line(0, y(1), 1500, y(1));
        c.Circle(753.75, y(30), 150);  // radius 10 logical pixels both ways
        c.Box(153.75, y(35), 453.75, y(45), Rgb{0, 200, 0});
        const QImage& im = c.Image();
        ASSERT_EQ(im.size(), QSize(100, 50) * dpr);
        const auto at = [&](int x, int y) {
            return im.pixelColor((x + .25) * dpr, (y + .25) * dpr);
        };
        for (int x = 0; x < 100; ++x) EXPECT_EQ(at(x, 1), kRed) << x;
        EXPECT_TRUE(at(50, 0) == kWhite && at(50, 2) == kWhite && at(50, 30) == kWhite);
        for (const QPoint p : {QPoint(60, 30), QPoint(40, 30), QPoint(50, 40), QPoint(50, 20)}) {
            EXPECT_EQ(at(p.x(), p.y()), kRed) << p.x() << "," << p.y();
        }
        // the outline with its right and bottom edges, nothing inside
        EXPECT_TRUE(at(10, 35) == kGreen && at(30, 45) == kGreen && at(20, 40) == kWhite);
        EXPECT_EQ(blank.pixelColor(0, 1.25 * dpr), kWhite);  // a copy handed out stays
    }
}

TEST_F(ImageCanvasTest, ChineseLabelsRender) {
    EXPECT_EQ(QFontInfo(QtCanvas::DefaultFont()).family(), "WenQuanYi Micro Hei");
    std::vector<QImage> images;
    for (const char* t : {"第", "跨", "-10.00000kNm", "\xff\xfe bad"}) {
        ImageCanvas c(QSize(100, 30));
        c.Clear();
        c.Print(150, 75, t);
        images.push_back(c.Image());
        EXPECT_GT(
            Ink(images.back(), QRect(0, 0, 100, 30), [](QColor q) { return q.lightness() < 128; }),
            5)
            << t;
    }
    EXPECT_NE(images[0], images[1]);  // two glyphs, not two boxes of a missing font
}

// The window's drawings of the three-span file: every label leaves ink where
// it is laid out (the upper half of its line); bar, base and hatching where
// they belong.
TEST_F(ImageCanvasTest, WindowDrawingsLandWhereLaidOut) {
    BeamState s;
    ASSERT_TRUE(LoadBeamFile(CBEAM_TEST_DATA "/draw_three_span.bmf", s));
    ASSERT_TRUE(RunAnalysis(s).status);
    for (const bool schematic : {true, false}) {
        const double v = schematic ? 1.0 : kDiagramTwipsPerUnit;
        const PixelSize px = schematic ? kSchematicPixels : kDiagramPixels;
        ImageCanvas c(QSize(px.width, px.height), v);
        c.Clear();
        schematic ? ReDrawAll(s, c) : DrawM(s, c);
        const QImage& im = c.Image();
        const auto at = [&](double x, double y) { return im.pixelColor(x / 15, y * v / 15); };
        for (const Primitive& t : Record(s, schematic, c.ScaleWidth(), c.ScaleHeight())) {
            if (t.kind != Primitive::Kind::Text) continue;
            const QRect box(t.x1 / 15, t.y1 * v / 15, t.text.size() * 100 / 15, 7);  // upper half
            EXPECT_GT(Ink(im, box, [](QColor q) { return q.lightness() < 100; }), 8) << t.text;
        }
        EXPECT_TRUE(schematic ? at(1500, 633) == QColor(0, 0, 225) && at(600, 798) == Qt::black
                              : at(1000, 1100) == kHatch);
    }
}

TEST_F(ImageCanvasTest, LevelOfDetail) {
    const DeviceScale pixels{1 / 15.0, 1 / 15.0};
    BeamState three = LongBeam(3);  // a picture of a normal beam loses nothing
    EXPECT_EQ(Record(three, true, 8595, 1635, pixels), Record(three, true, 8595, 1635));
    EXPECT_EQ(Record(three, false, 8595, 1635, pixels), Record(three, false, 8595, 1635));
    // 32,766 spans: a few primitives per pixel column, the labels of a row apart
    BeamState s = LongBeam(kMaxSpans);
    const Items items = Record(s, true, 8595, 1635, pixels);
    EXPECT_LT(items.size(), 20u * 573);
    for (const std::string unit : {"EI", "M", "kN/m", "kN"}) {
        float right = -1e9f;
        int labels = 0;
        for (const Primitive& t : items) {
            const std::string& x = t.text;
            if (x.size() < unit.size() || x.compare(x.size() - unit.size(), unit.size(), unit))
                continue;
            EXPECT_GE(t.x1, right) << x;
            right = t.x1 + 100.0f * x.size(), ++labels;
        }
        EXPECT_GT(labels, 3) << unit;
    }
    ImageCanvas c(QSize(kDiagramPixels.width, kDiagramPixels.height), kDiagramTwipsPerUnit);
    c.Clear();
    DrawM(s, c);
    EXPECT_GT(Ink(c.Image(), c.Image().rect(), [](QColor q) { return q == kHatch; }), 10000);
}

// On a canvas people read, no label covers another or crosses a side, and a
// maximized window shows every support moment of 12 spans.
TEST_F(ImageCanvasTest, ReadableLabels) {
    struct Readable : PixelRecording {
        using PixelRecording::PixelRecording;
        DeviceScale LabelScale() const override { return scale; }
    };
    BeamState s = LongBeam(12);
    for (int i = 1; i <= 12; ++i) s.Q(i) *= 1000;  // labels wider than the margins
    ASSERT_TRUE(RunAnalysis(s).status);
    for (const int px : {1901, 573, 200}) {
        for (const bool schematic : {true, false}) {
            SCOPED_TRACE(std::to_string(px) + (schematic ? " schematic" : " diagram"));
            const double unit = schematic ? 1 : kDiagramTwipsPerUnit;
            Readable c(px * 15.0, 250 * 15 / unit, {1 / 15.0, unit / 15.0});
            schematic ? ReDrawAll(s, c) : DrawM(s, c);
            std::vector<QRectF> kept;
            int supports = 0;
            for (const Primitive& t : c.Items()) {
                if (t.kind != Primitive::Kind::Text) continue;
                const QRectF box(t.x1, t.y1 * unit, 100.0 * CountChars(t.text), 16 * 15);
                EXPECT_TRUE(box.left() > -0.01 && box.right() < px * 15.0 + 0.01) << t.text;
                for (const QRectF& other : kept) EXPECT_FALSE(other.intersects(box)) << t.text;
                kept.push_back(box);
                for (int k = 1; k <= 13; ++k)
                    supports +=
                        t.text == Format(s.M(k), k < 13 ? "#####0.00000" : "###0.00000") + "kNm";
            }
            if (!schematic && px == 1901) {
                EXPECT_EQ(supports, 13);
            }
        }
    }
}

TEST_F(ImageCanvasTest, WildCoordinatesAreSafe) {
    const float big = 3e38f;
    ImageCanvas c(QSize(100, 50)), empty(QSize(0, 0));
    c.Clear(), empty.Clear(), empty.Line(0, 0, 10, 10);
    EXPECT_LT(Seconds([&] {
                  c.Line(-big, 150, big, 150), c.Line(NAN, 0, 10, 10),
                      c.Box(-big, -big, big, big, {});
                  c.Circle(750, 375, big), c.Circle(NAN, 0, 30), c.Print(big, -big, "x");
              }),
              1.0);
    for (int x = 0; x < 100; ++x) EXPECT_EQ(c.Image().pixelColor(x, 10), Qt::black) << x;
    EXPECT_TRUE(empty.Image().isNull());
}

}  // namespace
}  // namespace cbeam::test
