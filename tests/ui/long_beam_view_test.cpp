// Long beams in the input window: zoom steps that scale with the beam, a zoom
// to ten spans across, the chosen span brought into view and marked; and the
// sheet's title fields asked before 计算书 and kept for the session.
#include <QImage>

#include "ui/input/drawingview.h"
#include "ui/input/picturebox.h"
#include "ui/results/frmresults.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

struct ViewRow {
    const char* name;
    int spans, width;
};

class ZoomSteps : public ::testing::TestWithParam<ViewRow> {};

// A dozen steps or so from the whole beam to the closest view, never less
// than the short beam's 1.25; Z shows about ten spans of equal ones.
TEST_P(ZoomSteps, ScaleWithTheBeam) {
    const ViewRow& row = GetParam();
    DrawingView v;
    v.SetWidth(row.width);
    v.SetSpans(row.spans);
    EXPECT_GE(v.Step(), 1.25);
    int steps = 0;
    for (double before = 0; v.Zoom() > before && steps < 100; ++steps) {
        before = v.Zoom();
        v.ZoomAt(v.Step(), row.width / 2.0);
    }
    EXPECT_LE(steps, 14) << "zoom " << v.Zoom();
    v.ShowAll();
    v.ZoomToSpans(10, row.width / 2.0);
    const double across = row.spans / v.Zoom();
    const double closest = row.spans / std::max(16.0, row.spans * 240.0 / row.width);
    EXPECT_NEAR(across, std::min<double>(row.spans, std::max(10.0, closest)), 0.5);
}

INSTANTIATE_TEST_SUITE_P(LongBeams, ZoomSteps,
                         ::testing::Values(ViewRow{"three_spans", 3, 573},
                                           ViewRow{"hundred_maximized", 100, 1900},
                                           ViewRow{"thousand", 1000, 573},
                                           ViewRow{"longest_beam", 32766, 573}),
                         [](const auto& info) { return std::string(info.param.name); });

using LongBeamWindow = UiTest;

// The first and last columns with the mark's colour, {-1, -1} for none.
std::pair<int, int> MarkExtent(const QImage& image) {
    const QColor mark(230, 120, 0);
    std::pair<int, int> extent{-1, -1};
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(x, y) != mark) continue;
            if (extent.first < 0) extent.first = x;
            extent.second = x;
            break;
        }
    }
    return extent;
}

// Choosing span 900 of 1,000 zooms both drawings to show it a tenth of the
// picture wide, framed; choosing span 1 again pans back to the left margin.
TEST_F(LongBeamWindow, ChosenSpanIsShownAndMarked) {
    std::vector<testing::SpanInput> spans(1000, testing::SpanInput{6, 1, 1, 10, 1});
    frmInput* w = LoadBeam(testing::MakeBeam(spans, kFalse, kFalse));
    ASSERT_NE(w, nullptr);
    const struct {
        const char* name;
        int index;
        int left;  // where the frame starts, -1: anywhere
    } rows[] = {{"span 900", 899, -1}, {"back to span 1", 0, 40}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Choose(w->cmbN, row.index);
        for (PictureBox* p : {w->Picture1, w->Picture2}) {
            const int width = p->InnerSize().width();
            const auto [first, last] = MarkExtent(p->Image().scaledToWidth(width));
            ASSERT_GE(first, 0) << "no mark";
            EXPECT_NEAR(last - first, width / 10.0, width / 50.0) << first << ".." << last;
            if (row.left >= 0) {
                EXPECT_NEAR(first, row.left, 2);
            }
        }
    }
}

// 计算书… asks for the title fields first, today's date preset; a second
// sheet is offered the fields last confirmed; cancelling writes nothing.
TEST_F(LongBeamWindow, SheetTitleAskedAndRemembered) {
    frmInput* w = LoadBeam(SampleBeam());
    ASSERT_NE(w, nullptr);
    w->cmdResults->click();
    frmResults* r = w->ResultsWindow();
    ASSERT_NE(r, nullptr);
    SheetTitle typed{"某办公楼", "KL-1", "张三", "李四", "王五", "2026-12-07"};
    services.titleAnswers = {typed};
    services.fileAnswers = {QString::fromStdString(dir.File("a.pdf"))};
    r->SaveSheet();
    ASSERT_EQ(services.titlesAsked.size(), 1);
    EXPECT_EQ(services.titlesAsked[0].date, QDate::currentDate().toString("yyyy-MM-dd"));
    EXPECT_TRUE(services.titlesAsked[0].project.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(dir.File("a.pdf"))));

    services.titleAnswers = {std::nullopt};  // cancelled
    services.asked.clear();
    r->SaveSheet();
    ASSERT_EQ(services.titlesAsked.size(), 2);
    EXPECT_EQ(services.titlesAsked[1].project, "某办公楼");
    EXPECT_EQ(services.titlesAsked[1].approver, "王五");
    EXPECT_TRUE(services.asked.isEmpty()) << "no file dialog after a cancel";
}

}  // namespace
}  // namespace cbeam::test
