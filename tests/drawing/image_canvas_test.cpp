// The image canvas: pixels where the drawings put them, Chinese labels, long
// beams thinned out to what the picture can show; and cbeam-cli draw through
// the real program: listings, picture files, refusals.
#include "canvas/image_canvas.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
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
const auto kDark = [](QColor q) { return q.lightness() < 100; };

int Ink(const QImage& im, QRect area, auto isInk) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += im.valid(x, y) && isInk(im.pixelColor(x, y));
    return n;
}

struct ImageCanvasTest : ::testing::Test {
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
        for (const int y : {0, 2, 30}) EXPECT_EQ(at(50, y), kWhite) << "50," << y;
        for (const QPoint p : {QPoint(60, 30), QPoint(40, 30), QPoint(50, 40), QPoint(50, 20)})
            EXPECT_EQ(at(p.x(), p.y()), kRed) << p.x() << "," << p.y();
        // the outline with its right and bottom edges, nothing inside
        const std::tuple<int, int, QColor> outline[] = {
            {10, 35, kGreen}, {30, 45, kGreen}, {20, 40, kWhite}};
        for (const auto& [x, y, colour] : outline) EXPECT_EQ(at(x, y), colour) << x << "," << y;
        EXPECT_EQ(blank.pixelColor(0, 1.25 * dpr), kWhite);  // a copy handed out stays
    }
}

// The window's drawings of the three-span file in the Chinese font: every
// label leaves ink where it is laid out (the upper half of its line); bar,
// base and hatching where they belong.
TEST_F(ImageCanvasTest, WindowDrawingsLandWhereLaidOut) {
    EXPECT_EQ(QFontInfo(QtCanvas::DefaultFont()).family(), "WenQuanYi Micro Hei");
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
            EXPECT_GT(Ink(im, box, kDark), 8) << t.text;
        }
        if (schematic) {
            EXPECT_EQ(at(1500, 633), QColor(0, 0, 225)) << "bar";
            EXPECT_EQ(at(600, 798), QColor(Qt::black)) << "base";
        } else {
            EXPECT_EQ(at(1000, 1100), kHatch) << "hatching";
        }
    }
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

// 3 spans lose nothing in a picture (where labels come last, over the
// lines); 32,766 spans keep a few primitives per pixel column, the labels of
// a row apart.
TEST_F(ImageCanvasTest, LevelOfDetail) {
    const DeviceScale pixels{1 / 15.0, 1 / 15.0};
    BeamState s = LongBeam(3);
    const auto listed = [](const Items& items) {
        std::vector<std::string> lines;
        for (const Primitive& p : items) lines.push_back(ListLine(p));
        std::ranges::stable_partition(lines, [](auto& l) { return !l.starts_with("text"); });
        return lines;
    };
    for (const bool schematic : {true, false}) {
        const Items picture = Record(s, schematic, 8595, 1635, pixels);
        EXPECT_TRUE(std::ranges::is_partitioned(
            picture, [](auto& p) { return p.kind != Primitive::Kind::Text; }));
        EXPECT_EQ(listed(picture), listed(Record(s, schematic, 8595, 1635)));
    }
    s = LongBeam(kMaxSpans);
    const Items items = Record(s, true, 8595, 1635, pixels);
    EXPECT_LT(items.size(), 20u * 573);
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
                EXPECT_GT(box.left(), -0.01) << t.text;
                EXPECT_LT(box.right(), px * 15.0 + 0.01) << t.text;
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

TEST_F(ImageCanvasTest, RememberedTextWidthsFollowTheFont) {
    const std::vector<std::string> texts{"12.5kNm", "固定端", "(32766)"};
    struct Row {
        const char* name;
        int pixels, filler;  // font size; strings measured first
        double ratio;        // to the widths at 12 pixels
    };
    const Row rows[] = {{"default size", 12, 0, 1},
                        {"twice the size", 24, 0, 2},
                        {"after thousands of others", 24, 9000, 2}};
    ImageCanvas c(QSize(100, 50));
    std::vector<double> base;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QFont f = QtCanvas::DefaultFont();
        f.setPixelSize(r.pixels);
        c.SetFont(f);
        for (int i = 0; i < r.filler; ++i) c.TextWidth(std::to_string(i));
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const double w = c.TextWidth(texts[i]);
            if (base.size() < texts.size()) base.push_back(w);
            EXPECT_NEAR(w / base[i], r.ratio, 0.25) << texts[i];
            EXPECT_EQ(c.TextWidth(texts[i]), w) << texts[i];
        }
    }
}

TEST_F(ImageCanvasTest, WildCoordinatesAreSafe) {
    const float big = 3e38f;
    ImageCanvas c(QSize(100, 50)), empty(QSize(0, 0));
    c.Clear(), empty.Clear(), empty.Line(0, 0, 10, 10);
    EXPECT_LT(Seconds([&] {
                  c.Line(-big, 150, big, 150), c.Line(NAN, 0, 10, 10), c.Print(0, 600, "\xff\xfe");
                  c.Box(-big, -big, big, big, {}), c.Print(big, -big, "x");
                  c.Circle(750, 375, big), c.Circle(NAN, 0, 30);
              }),
              1.0);
    for (int x = 0; x < 100; ++x) EXPECT_EQ(c.Image().pixelColor(x, 10), Qt::black) << x;
    EXPECT_TRUE(empty.Image().isNull());
}

struct DrawCommand : ::testing::Test {
    struct Outcome {
        int code;
        std::string out, err;
    };
    // No argument here holds a single quote, so plain quoting will do.
    Outcome Draw(const std::vector<std::string>& args) {
        std::string cmd = "'" CBEAM_CLI "' draw";
        for (const std::string& a : args) cmd += " '" + a + "'";
        const int status =
            std::system((cmd + " >'" + dir.File("out") + "' 2>'" + dir.File("err") + "'").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::ReadAll(dir.File("out")),
                testing::ReadAll(dir.File("err"))};
    }
    const std::string beam = CBEAM_TEST_DATA "/draw_three_span.bmf";
    testing::TempDir dir;
};

TEST_F(DrawCommand, ListsOnTheWindowsCanvasOrAGivenOneAndWritesPngAndSvg) {
    const Outcome d = Draw({beam, "--list", "diagram"});
    EXPECT_EQ(d.out, testing::ReadAll(CBEAM_TEST_DATA "/drawing/three_span_diagram.txt")) << d.err;
    const Outcome s = Draw({beam, "--list", "schematic", "--canvas", "8600x2080"});
    EXPECT_EQ(s.out.rfind("box 600 840 8000 855 0 0 225\n", 0), 0u) << s.err;
    const std::string png = dir.File("schematic.png"), svg = dir.File("diagram.SVG");
    ASSERT_EQ(Draw({beam, "--schematic", png, "--diagram", svg}).code, 0);
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(573, 109));
    EXPECT_NE(testing::ReadAll(svg).find("70.17339kNm"), std::string::npos);
    ASSERT_EQ(Draw({beam, "--diagram", png, "--size", "400x100", "--scale", "2"}).code, 0);
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(800, 200));
}

TEST_F(DrawCommand, RefusesWithTheSolveMessages) {
    std::string bytes = testing::ReadAll(beam);  // span 2 undefined: its EI (offset 10) zero
    ASSERT_GE(bytes.size(), 128u);
    testing::WriteAll(dir.File("undefined.bmf"), bytes.replace(64 + 10, 8, 8, '\0'));
    // clang-format off
    const struct { std::vector<std::string> args; int code; std::string err; } rows[] = {
        {{dir.File("missing.bmf"), "--list", "diagram"}, 2, "无法读取数据文件！"},
        {{dir.File("undefined.bmf"), "--list", "diagram"}, 3, "第 2跨未定义!"},
        {{beam}, 1, ""},
        {{beam, "--schematic", dir.File("x.bmp")}, 1, ""},
        {{beam, "--schematic", dir.File("x.png"), "--size", "0x5"}, 1, ""},
        {{beam, "--diagram", "/nonexistent-folder/x.svg"}, 2, ""}};
    // clang-format on
    for (const auto& k : rows) {
        SCOPED_TRACE(k.args.back());
        const Outcome r = Draw(k.args);
        EXPECT_EQ(r.code, k.code) << r.err;
        EXPECT_EQ(r.err.rfind(k.err, 0), 0u) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

}  // namespace
}  // namespace cbeam::test
