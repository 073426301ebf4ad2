#include "canvas/painter_canvas.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "drawing_test_util.h"
#include "model/compute.h"
#include "ui/input/drawing/drawings.h"

namespace cbeam {
namespace {

using test::Select;
using Kind = Primitive::Kind;

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
    BeamState s = test::Beam({6, 4.5, 5});
    s.EI(2) = 1.5;
    s.Flag0 = s.FlagN = kTrue;
    s.LoadType(1) = 1, s.Q(1) = 20, s.A(1) = 1;
    s.LoadType(2) = 2, s.Q(2) = 50, s.A(2) = 0.5;
    s.LoadType(3) = 1, s.Q(3) = 15, s.A(3) = 0.6;
    EXPECT_EQ(Analyse(s), SolveStatus::Solved);
    return s;
}

const QColor kForeground(128, 0, 0);

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

class PainterCanvasDpr : public testing::TestWithParam<double> {};

TEST_P(PainterCanvasDpr, SchematicLandsWhereItIsLaidOut) {
    EnsureGui();
    const double dpr = GetParam();
    BeamState s = ThreeSpans();
    PainterCanvas canvas(QSize(577, 113), 1.0, dpr);
    canvas.SetForeground(kForeground);
    canvas.Clear();
    ReDrawAll(s, canvas);
    RecordingCanvas rec(canvas.ScaleWidth(), canvas.ScaleHeight());
    ReDrawAll(s, rec);
    const QImage& image = canvas.Image();
    ASSERT_EQ(image.size(), QSize(static_cast<int>(std::ceil(577 * dpr)),
                                  static_cast<int>(std::ceil(113 * dpr))));
    EXPECT_EQ(image.devicePixelRatio(), dpr);
    const Probe p{image, dpr / 15, dpr / 15};

    const float y0 = rec.Items().front().y1;
    EXPECT_EQ(y0, 648);
    // bar: its lower edge, in the middle of the second span's left half
    const auto supports = Select(rec.Items(), [y0](const Primitive& q) {
        return q.kind == Kind::Circle && q.y1 == y0 + 150;
    });
    ASSERT_EQ(supports.size(), 2u);
    const double node2 = supports[0].x1, node3 = supports[1].x1;
    EXPECT_EQ(p.At((3 * node2 + node3) / 4, y0 + 15), QColor(0, 0, 225));
    // walls at both ends, black
    EXPECT_EQ(p.At(590, y0 + 50), QColor(0, 0, 0));
    EXPECT_EQ(p.At(p.image.width() / p.sx - 1, y0 + 50), QColor(255, 255, 255));
    // interior supports: the right edge of the upper circle, the top of the
    // lower one (whose centre row the base covers), the base itself
    const int r = static_cast<int>(std::lround(30 * p.sx));
    for (double x : {node2, node3}) {
        EXPECT_EQ(image.pixelColor(p.Px(x) + r, p.Py(y0 + 30)), kForeground) << x;
        EXPECT_EQ(image.pixelColor(p.Px(x), p.Py(y0 + 150) - r), kForeground) << x;
        EXPECT_EQ(p.At(x - 50, y0 + 180), QColor(0, 0, 0)) << x;
    }
    // arrows of the first span reach down to the bar
    EXPECT_EQ(p.At(600, y0 - 100), kForeground);
    for (const Primitive& t : test::Texts(rec.Items())) {
        EXPECT_GT(p.Ink(t), 8 * dpr * dpr) << t.text;
    }
}

TEST_P(PainterCanvasDpr, DiagramLandsWhereItIsLaidOut) {
    EnsureGui();
    const double dpr = GetParam();
    BeamState s = ThreeSpans();
    PainterCanvas canvas(QSize(577, 161), kDiagramTwipsPerUnit, dpr);
    canvas.SetForeground(kForeground);
    canvas.Clear();
    DrawM(s, canvas);
    RecordingCanvas rec(canvas.ScaleWidth(), canvas.ScaleHeight());
    DrawM(s, rec);
    const QImage& image = canvas.Image();
    const Probe p{image, dpr / 15, kDiagramTwipsPerUnit * dpr / 15};
    const Primitive axis = rec.Items().front();
    EXPECT_EQ(axis.y1, 966);
    const QColor diagram(50, 50, 255);

    // the axis's lower edge, away from the supports
    EXPECT_EQ(p.At(1000, axis.y2), QColor(0, 0, 0));
    // the closing line at the right end, drawn last
    const Primitive& closing = rec.Items().back();
    ASSERT_NE(closing.y1, closing.y2);
    EXPECT_EQ(p.At(closing.x1, (closing.y1 + closing.y2) / 2), diagram);
    // hatch lines clear of every label
    const auto texts = test::Texts(rec.Items());
    const auto clear = [&](double x, double y) {
        for (const Primitive& t : texts) {
            if (x >= t.x1 - 150 && x <= t.x1 + 150 * t.text.size() && y >= t.y1 - 100 &&
                y <= t.y1 + 300) {
                return false;
            }
        }
        return true;
    };
    int probed = 0;
    for (const Primitive& q : rec.Items()) {
        if (q.kind != Kind::Line || !(q.colour == Rgb{50, 50, 255}) || q.x1 != q.x2 ||
            q.y2 != axis.y1)
            continue;
        const double mid = (q.y1 + q.y2) / 2;
        if (std::fabs(q.y1 - q.y2) < 200 || !clear(q.x1, mid)) continue;
        EXPECT_EQ(p.At(q.x1, mid), diagram) << q.x1;
        ++probed;
    }
    EXPECT_GT(probed, 10);
    for (const Primitive& t : texts) EXPECT_GT(p.Ink(t), 8 * dpr * dpr) << t.text;
}

INSTANTIATE_TEST_SUITE_P(Scales, PainterCanvasDpr, testing::Values(1.0, 1.5, 2.0));

TEST(PainterCanvas, ColoursAndScale) {
    EnsureGui();
    PainterCanvas c(QSize(100, 50), kDiagramTwipsPerUnit, 1.0);
    EXPECT_DOUBLE_EQ(c.ScaleWidth(), 1500);
    EXPECT_DOUBLE_EQ(c.ScaleHeight(), 750 / kDiagramTwipsPerUnit);
    c.SetBackground(QColor(10, 20, 30));
    c.Clear();
    EXPECT_EQ(c.Image().pixelColor(0, 0), QColor(10, 20, 30));
    c.SetForeground(Qt::red);
    c.Line(0, 0, 1500, 0);
    c.Circle(750, 300 / kDiagramTwipsPerUnit, 150);  // round: radius 10 pixels both ways
    const QImage& image = c.Image();
    for (int x = 0; x < 100; ++x) EXPECT_EQ(image.pixelColor(x, 0), QColor(Qt::red)) << x;
    EXPECT_EQ(image.pixelColor(60, 20), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(40, 20), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(50, 30), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(50, 10), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(50, 20), QColor(10, 20, 30));
}

TEST(PainterCanvas, ImageHandedOutKeepsItsPixels) {
    EnsureGui();
    PainterCanvas c(QSize(40, 20));
    c.Clear();
    const QImage before = c.Image();
    c.Box(0, 0, 300, 150, Rgb{0, 200, 0});
    EXPECT_EQ(before.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(c.Image().pixelColor(0, 0), QColor(0, 200, 0));
    EXPECT_EQ(c.Image().pixelColor(20, 10), QColor(0, 200, 0));  // right and bottom edges
    EXPECT_EQ(c.Image().pixelColor(10, 5), QColor(Qt::white));
}

TEST(PainterCanvas, TextInEveryScript) {
    EnsureGui();
    const char* texts[] = {"-10.00000kNm", "第1跨", "שלום", "\xff\xfe bad"};
    for (const char* t : texts) {
        PainterCanvas c(QSize(100, 30));
        c.Clear();
        c.Print(15, 15, t);
        const QImage& image = c.Image();
        int ink = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 100; ++x) ink += image.pixelColor(x, y).lightness() < 128;
        }
        EXPECT_GT(ink, 5) << t;
    }
}

TEST(PainterCanvas, CrowdedLabelsAreThinnedOut) {
    EnsureGui();
    PainterCanvas c(QSize(577, 161));
    c.Clear();
    // Two labels of a row on one pixel column always show.
    EXPECT_TRUE(c.WantsLabel(0, 100, 100));
    EXPECT_TRUE(c.WantsLabel(0, 101, 100));
    EXPECT_TRUE(c.WantsLabel(1, 101, 100));  // rows count apart
    EXPECT_FALSE(c.WantsLabel(0, 102, 300));
    // next to a crowded column, one per column; then two again
    EXPECT_TRUE(c.WantsLabel(0, 200, 100));
    EXPECT_FALSE(c.WantsLabel(0, 201, 100));
    EXPECT_TRUE(c.WantsLabel(0, 300, 100));
    EXPECT_TRUE(c.WantsLabel(0, 301, 100));
    // wholly above or below the picture, or nowhere
    EXPECT_FALSE(c.WantsLabel(2, 500, 1e6));
    EXPECT_FALSE(c.WantsLabel(2, 500, -1e6));
    EXPECT_FALSE(c.WantsLabel(2, std::numeric_limits<float>::quiet_NaN(), 100));
    c.Clear();
    EXPECT_TRUE(c.WantsLabel(0, 200, 100));
    EXPECT_TRUE(c.WantsLabel(0, 201, 100));
    // the recording canvas keeps everything
    RecordingCanvas rec(8600, 2080);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(rec.WantsLabel(0, 100, 100));
}

TEST(PainterCanvas, WildCoordinatesAreSafe) {
    EnsureGui();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float big = 3e38f;
    PainterCanvas c(QSize(100, 50));
    c.Clear();
    const auto start = std::chrono::steady_clock::now();
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
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
    const QImage& image = c.Image();
    for (int x = 0; x < 100; ++x) EXPECT_EQ(image.pixelColor(x, 10), QColor(Qt::black)) << x;

    PainterCanvas empty(QSize(0, 0));
    empty.Clear();
    empty.Line(0, 0, 10, 10);
    empty.Print(0, 0, "x");
    EXPECT_TRUE(empty.Image().isNull());
    BeamState s = ThreeSpans();
    ReDrawAll(s, empty);
    DrawM(s, empty);
}

TEST(SvgCanvas, WritesAVectorPicture) {
    EnsureGui();
    BeamState s = ThreeSpans();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        SvgCanvas svg(&buffer, QSize(577, 113));
        svg.Clear();
        ReDrawAll(s, svg);
        EXPECT_TRUE(svg.Finish());
    }
    const QByteArray data = buffer.data();
    EXPECT_TRUE(data.contains("<svg"));
    EXPECT_TRUE(data.contains("6.00M"));
    EXPECT_TRUE(data.contains("20.00kN/m"));

    SvgCanvas nowhere(QStringLiteral("/nonexistent-folder/picture.svg"), QSize(577, 113));
    ReDrawAll(s, nowhere);
    EXPECT_FALSE(nowhere.Finish());
}

}  // namespace
}  // namespace cbeam
