// What cbeam-cli draw lists for the window's canvases, against coordinates
// worked out by hand for one simply supported span.
#include <sys/wait.h>

#include <cstdlib>

#include "files/beam_json.h"
#include "ui/input/picturebox.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

using CliListing = UiTest;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

// 4 m, q = 10 kN/m over the whole span, pinned ends, on 573 x 109 pixels:
// W = 8595, xR = 7995, kx = (7995 - 600) / 4 = 1848.75, y0 = 1635 / 2 - 200
// rounded to even = 618; the arrows 7395 / 15 = 493 apart.
std::vector<std::string> Schematic() {
    std::vector<std::string> l = {
        "box 600 618 7995 633 0 0 225", "circle 600 648 30",         "line 570 648 510 768",
        "line 630 648 690 768",         "box 510 768 690 798 0 0 0", "circle 7995 648 30",
        "line 7965 648 7905 768",       "line 8025 648 8085 768",    "box 7905 768 8085 798 0 0 0",
        "line 600 1118 7995 1118",      "line 600 1018 600 1218",    "line 570 1148 630 1088",
        "text 4197.5 648 \"EI\"",       "line 7995 1018 7995 1218",  "line 7965 1148 8025 1088",
        "text 4047.5 938 \"4.00M\""};
    for (int x = 600; x <= 7995; x += 493) {
        const std::string a = std::to_string(x), l1 = std::to_string(x - 30),
                          r1 = std::to_string(x + 30);
        l.push_back("line " + a + " 418 " + a + " 618");
        l.push_back("line " + l1 + " 558 " + a + " 618");
        l.push_back("line " + r1 + " 558 " + a + " 618");
    }
    l.push_back("line 600 418 7995 418");
    l.push_back("text 3647.5 118 \"10.00kN/m\"");  // centred 200 left of mid-span
    return l;
}

TEST_F(CliListing, DrawListsTheWindowsDrawingsAsWorkedByHand) {
    const std::string file = dir.File("one.json");
    BeamState one = testing::MakeBeam({{4, 1, 1, 10, 1}}, kFalse, kFalse);
    ASSERT_TRUE(SaveBeam(file, one));
    frmInput* w = TypeBeam(1);
    ASSERT_NE(w, nullptr);
    // The listing's canvases are the window's picture boxes.
    EXPECT_EQ(w->Picture1->Surface().ScaleWidth(), 8595);
    EXPECT_EQ(w->Picture1->Surface().ScaleHeight(), 1635);
    EXPECT_EQ(w->Picture2->Surface().ScaleWidth(), 8595);
    EXPECT_NEAR(w->Picture2->Surface().ScaleHeight(), 157 * 15 / 1.1325, 1e-9);
    const auto list = [&](const char* which) {
        const std::string out = dir.File(std::string(which) + ".txt");
        const std::string cmd =
            "'" CBEAM_CLI "' draw '" + file + "' --list " + which + " >'" + out + "'";
        const int status = std::system(cmd.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << cmd;
        return Lines(testing::ReadAll(out));
    };
    EXPECT_EQ(list("schematic"), Schematic());

    // The moment diagram: H = 157 * 15 / 1.1325, the axis at H / 2 - 100
    // rounded = 940, the largest moment qL^2/8 = 20 at h = H - 1400 rounded =
    // 679 from it: 33.95 units a kN·m. The curve is the simple span's
    // M(u) = -q u (L - u) / 2, hogging up; hatch lines drop to the axis.
    const std::vector<std::string> m = list("diagram");
    ASSERT_GT(m.size(), 60u);
    const struct {
        const char* name;
        std::size_t at;  // from the end when negative
        long offset;
        const char* line;
    } rows[] = {{"axis", 0, 0, "box 600 940 7995 955 0 0 0"},
                {"left moment above the axis", 1, 0, "text 100 790 \"0.00000kNm\""},
                {"mid-span moment 50 below the curve", 2, 0, "text 3697.5 1669 \"-20.00000kNm\""},
                {"right moment below the axis", 0, -2, "text 7495 970 \"0.00000kNm\""},
                {"right end line", 0, -1, "line 7995 940 7995 940 50 50 255"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::size_t i = r.offset < 0 ? m.size() + r.offset : r.at;
        EXPECT_EQ(m[i], r.line);
    }
    int onCurve = 0;
    for (std::size_t i = 3; i + 2 < m.size(); ++i) {
        double x1, y1, x2, y2;
        ASSERT_EQ(std::sscanf(m[i].c_str(), "line %lf %lf %lf %lf 50 50 255", &x1, &y1, &x2, &y2),
                  4)
            << m[i];
        const auto Y = [](double x) {
            const double u = (x - 600) / 1848.75;
            return 940 + 33.95 * 10 * u * (4 - u) / 2;
        };
        const bool hatch = x1 == x2 && y2 == 940;
        EXPECT_NEAR(y1, Y(x1), 1e-3) << m[i];
        if (!hatch) {
            EXPECT_NEAR(y2, Y(x2), 1e-3) << m[i];
        }
        onCurve += !hatch;
    }
    EXPECT_GE(onCurve, 7395 / 100) << "a sample every 100 units";
}

}  // namespace
}  // namespace cbeam::test
