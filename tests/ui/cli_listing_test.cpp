// What cbeam-cli draw lists for the window's canvases, against coordinates
// worked out by hand for one simply supported span.
#include <sys/wait.h>

#include "files/beam_json.h"
#include "ui/input/picturebox.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

using CliListing = UiTest;

// 4 m, q = 10 kN/m over the whole span, pinned ends, on 573 x 109 pixels:
// W = 8595, xR = 7995, kx = 7395 / 4, y0 = 1635 / 2 - 200 rounded to even =
// 618; the arrows 7395 / 15 = 493 apart, the load's label 200 left of mid-span.
std::string Schematic() {
    std::string l =
        "box 600 618 7995 633 0 0 225\ncircle 600 648 30\nline 570 648 510 768\n"
        "line 630 648 690 768\nbox 510 768 690 798 0 0 0\ncircle 7995 648 30\n"
        "line 7965 648 7905 768\nline 8025 648 8085 768\nbox 7905 768 8085 798 0 0 0\n"
        "line 600 1118 7995 1118\nline 600 1018 600 1218\nline 570 1148 630 1088\n"
        "text 4197.5 648 \"EI\"\nline 7995 1018 7995 1218\nline 7965 1148 8025 1088\n"
        "text 4047.5 938 \"4.00M\"\n";
    for (int x = 600; x <= 7995; x += 493) {
        const auto n = [](int v) { return std::to_string(v); };
        l += "line " + n(x) + " 418 " + n(x) + " 618\nline " + n(x - 30) + " 558 " + n(x) +
             " 618\nline " + n(x + 30) + " 558 " + n(x) + " 618\n";
    }
    return l + "line 600 418 7995 418\ntext 3647.5 118 \"10.00kN/m\"\n";
}

TEST_F(CliListing, DrawListsTheWindowsDrawingsAsWorkedByHand) {
    const std::string file = dir.File("one.json");
    ASSERT_TRUE(SaveBeam(file, testing::MakeBeam({{4, 1, 1, 10, 1}}, kFalse, kFalse)));
    frmInput* w = TypeBeam(1);
    ASSERT_NE(w, nullptr);
    // The listing's canvases are the window's picture boxes.
    const auto size = [](PictureBox* b) {
        return std::pair(b->Surface().ScaleWidth(), b->Surface().ScaleHeight());
    };
    EXPECT_EQ(size(w->Picture1), std::pair(8595.0, 1635.0));
    EXPECT_EQ(size(w->Picture2).first, 8595);
    EXPECT_NEAR(size(w->Picture2).second, 157 * 15 / 1.1325, 1e-9);
    const auto list = [&](const char* which) {
        const std::string out = dir.File(std::string(which) + ".txt");
        const std::string cmd = "'" CBEAM_CLI "' draw '" + file + "' --list " + which + " >" + out;
        const int status = std::system(cmd.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << cmd;
        return testing::ReadAll(out);
    };
    EXPECT_EQ(list("schematic"), Schematic());

    // The moment diagram: the axis at 157 * 15 / 1.1325 / 2 - 100 rounded =
    // 940, qL^2/8 = 20 at H - 1400 rounded = 679 from it: 33.95 units a kN·m.
    // The curve is the simple span's M(u) = -q u (L - u) / 2, hogging up, its
    // hatch lines down to the axis; the end moments above and below it.
    const std::string m = list("diagram");
    const std::string head =
        "box 600 940 7995 955 0 0 0\ntext 100 790 \"0.00000kNm\"\n"
        "text 3697.5 1669 \"-20.00000kNm\"\n";
    const std::string tail = "text 7495 970 \"0.00000kNm\"\nline 7995 940 7995 940 50 50 255\n";
    ASSERT_TRUE(m.starts_with(head) && m.ends_with(tail)) << m;
    std::istringstream curve(m.substr(head.size(), m.size() - head.size() - tail.size()));
    int samples = 0;
    for (std::string line; std::getline(curve, line); ++samples) {
        double x1, y1, x2, y2;
        ASSERT_EQ(std::sscanf(line.c_str(), "line %lf %lf %lf %lf 50 50 255", &x1, &y1, &x2, &y2),
                  4);
        const auto Y = [](double x) {
            return 940 + 33.95 * 5 * (x - 600) / 1848.75 * (4 - (x - 600) / 1848.75);
        };
        EXPECT_NEAR(y1, Y(x1), 1e-3) << line;
        EXPECT_NEAR(y2, x1 == x2 && y2 == 940 ? 940 : Y(x2), 1e-3) << line;
    }
    EXPECT_GE(samples, 2 * 7395 / 100) << "a sample every 100 units, each with its hatch line";
}

}  // namespace
}  // namespace cbeam::test
