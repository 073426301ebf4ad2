#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>

#include "analysis/influence.h"
#include "common/beam_helpers.h"
#include "files/beam_json.h"
#include "model/design.h"
#include "model/driver.h"
#include "text/format.h"

namespace cbeam {
namespace {

using namespace testing;

std::string Shell(const std::string& command) {
    std::string out(1 << 20, '\0');
    FILE* p = popen(command.c_str(), "r");
    out.resize(fread(out.data(), 1, out.size(), p));
    pclose(p);
    return out;
}

// The sheet cbeam-cli writes for `beam` into `pdf`, as pdftotext lays it out
// (every page ended by a form feed).
std::string SheetText(const TempDir& dir, const BeamState& beam, const std::string& pdf) {
    EXPECT_TRUE(SaveBeam(dir.File("b.json"), beam));
    EXPECT_EQ(std::system(("'" CBEAM_CLI "' sheet " + dir.File("b.json") + " " + pdf).c_str()), 0);
    return Shell("pdftotext -layout " + pdf + " -");
}

// A number as the sheet writes it, as a regular expression.
std::string Re(double v, const char* picture = "0.000") {
    return std::regex_replace(Format(v, picture), std::regex("[.+]"), "\\$&");
}

// Clamped left, pinned right, EIo 2: a full, a point and a half-span load,
// worked by hand: i = EI EIo / L; fixed-end moments -+qL^2/12, -Pab^2/L^2 and
// Pa^2b/L^2, for q over c from the left qc^2(6L^2 - 8Lc + 3c^2)/12L^2 and
// qc^3(4L - 3c)/12L^2. Every result stands in its table row.
TEST(SheetPdf, ResultsInTheirRowsAndTheWorkingAsWorkedByHand) {
    TempDir dir;
    BeamState s =
        MakeBeam({{4, 2, 1, 10, 1}, {6, 1.5, 2, 20, 0.25}, {5, 1, 1, 5, 0.5}}, kTrue, kFalse, 2);
    const std::string text = SheetText(dir, s, dir.File("b.pdf"));
    ASSERT_TRUE(RunAnalysis(s).status);
    const DesignValues d = ComputeDesignValues(s);
    const auto has = [&](const std::string& name, const std::string& pattern) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(std::regex_search(text, std::regex(pattern)));
    };
    const auto row = [&](const std::string& node, std::vector<std::string> cells) {
        std::string pattern = "\n *" + node;
        for (const std::string& c : cells) pattern += " +" + c;
        has("row" + pattern, pattern + " *\n");
    };
    const double i1 = 1, i2 = 0.5, i3 = 0.4, q1 = 10 * 16 / 12.0;
    const double p12 = 20 * 1.5 * 4.5 * 4.5 / 36, p21 = 20 * 1.5 * 1.5 * 4.5 / 36;
    const double u12 = 5 * 6.25 * (150 - 100 + 18.75) / 300, u21 = 5 * 15.625 * 12.5 / 300;
    const std::string any = " = [^=\n]+ = ";
    has("i1", "i1 = EI/L" + any + Re(i1));
    has("i3", "i3 = EI/L" + any + Re(i3));
    has("FEM 1", "MF\\(1,2\\)" + any + Re(-q1) + "，MF\\(2,1\\)" + any + Re(q1));
    has("FEM 2", "MF\\(2,3\\)" + any + Re(-p12) + "，MF\\(3,2\\)" + any + Re(p21));
    has("FEM 3", "MF\\(3,4\\)" + any + Re(-u12) + "，MF\\(4,3\\)" + any + Re(u21));
    has("node 2", "结点 2：" + Re(4 * (i1 + i2)) + "θ2 \\+ " + Re(2 * i2) + "θ3 = " + Re(p12 - q1));
    has("node 4", "结点 4：" + Re(2 * i3) + "θ3 \\+ " + Re(4 * i3) + "θ4 = " + Re(-u21));
    for (int k = 1; k <= s.N + 1; ++k) {
        const std::string n = std::to_string(k), m = std::to_string(k + 1);
        // The analysis takes EIo as a number of 10^6 kN m^2: Theta is in 1e-6 rad.
        row(n, {Re(s.M(k)), Re(d.R[k - 1]), Re(s.Theta(k) * 1e-6, "0.000E+00")});
        has("θ" + n, "θ" + n + " = " + Re(s.Theta(k), "0.000E+00"));
        if (k > s.N) break;
        const auto& v = d.spans[k - 1];
        row(n, {Re(v.Vl), Re(v.Vr), Re(-v.Msag), Re(v.xMsag), Re(v.w), Re(v.xw)});  // all sag
        has("end moments " + n, "M\\(" + n + "," + m + "\\) = " + Re(-s.M(k)) + " kN·m，M\\(" + m +
                                    "," + n + "\\) = " + Re(s.M(k + 1)));
    }
    EXPECT_EQ(text.find("结点 1："), std::string::npos) << "the clamped end has no equation";
    EXPECT_EQ(text.find("荷载组合"), std::string::npos) << "no live load, no combinations";
    has("drawn moments", Re(s.M(1)) + "kNm");
    has("drawn shears", Re(d.spans[0].Vl) + "kN");
    EXPECT_FALSE(std::regex_search(text, std::regex("[0-9]\\.[0-9]{4,}kNm")))
        << "drawings with 3 decimals like the tables";
}

// A long beam: text in embedded fonts, no images, numbered pages, the table
// header on every page a table goes on to, the working left out.
TEST(SheetPdf, LongBeamPagesFontsAndNoImages) {
    TempDir dir;
    const std::string pdf = dir.File("b.pdf");
    const std::string text =
        SheetText(dir, MakeBeam(std::vector<SpanInput>(120, {5, 1, 1, 10, 1}), kTrue, kTrue), pdf);
    EXPECT_EQ(Shell("pdfimages -list " + pdf + " | wc -l"), "2\n");
    EXPECT_EQ(Shell("pdffonts " + pdf + " | awk 'NR > 2 { print $(NF-4) }' | sort -u"), "yes\n");
    const auto pages = std::count(text.begin(), text.end(), '\f');
    ASSERT_GT(pages, 3);
    std::istringstream all(text);
    int page = 0;
    for (std::string p; std::getline(all, p, '\f'); ++page) {
        SCOPED_TRACE("page " + std::to_string(page + 1));
        const std::string footer = "第\\s*" + std::to_string(page + 1) + "\\s*页\\s*共\\s*";
        EXPECT_TRUE(std::regex_search(p, std::regex(footer + std::to_string(pages) + "\\s*页")));
        const std::regex nodeRow("\n +[0-9]+ +[-0-9.]+ +[-0-9.]+ +[-0-9.]+E");
        EXPECT_TRUE(!std::regex_search(p, nodeRow) || p.find("θ (rad)") != std::string::npos);
    }
    EXPECT_NE(text.find("计算过程从略"), std::string::npos);
}

// A general beam's sheet, the values worked by hand: 3 x 6 m, g 10, q 8, so
// 1.3G + 1.5Q gives 13 and 12 kN/m. MB: 0.1 x 13 x 36 + 7/60 x 12 x 36 with
// spans 1-2 loaded; RB: (1.1 x 13 + 1.2 x 12) x 6; RB least: 66 - 0.1 x 12 x 6
// with span 3 alone; span 1 sags most with spans 1 and 3: MB = 68.4, Vl =
// 75 - 11.4, M = Vl^2 / 50. A long second span lifts the far end of a short one.
struct ChapterRow {
    const char* name;
    std::vector<double> lengths;
    double g, q;
    const char* pattern;
};
class GeneralSheet : public ::testing::TestWithParam<ChapterRow> {};

TEST_P(GeneralSheet, ChapterHolds) {
    TempDir dir;
    const ChapterRow& row = GetParam();
    ASSERT_TRUE(SaveBeam(dir.File("b.json"), LiveBeam(row.lengths, row.g, row.q)));
    const std::string pdf = dir.File("b.pdf");
    ASSERT_EQ(std::system(("'" CBEAM_CLI "' sheet " + dir.File("b.json") + " " + pdf).c_str()), 0);
    const std::string text = Shell("pdftotext -layout " + pdf + " -");
    EXPECT_TRUE(std::regex_search(text, std::regex(row.pattern))) << text;
}

const std::vector<double> kThree{6, 6, 6};
INSTANTIATE_TEST_SUITE_P(
    Rows, GeneralSheet,
    ::testing::Values(
        ChapterRow{"title", kThree, 10, 8, "\n二、荷载组合与最不利布置\n"},
        ChapterRow{"span_1", kThree, 10, 8,
                   "\n +1 +97\\.200 +6\\.000 +1-2 +-80\\.899 +[.0-9]+ +1,3 *\n"},
        ChapterRow{"support_2", kThree, 10, 8, "\n +2 +172\\.200 +1-2 +58\\.800 +3 *\n"},
        ChapterRow{"drawn_moment", kThree, 10, 8, "97\\.200kNm"},
        ChapterRow{"drawn_shear", kThree, 10, 8, "63\\.600kN"},
        ChapterRow{"deflections", kThree, 10, 8, "标准组合 wmax \\(mm\\) +x \\(m\\) +准永久组合"},
        ChapterRow{"uplift", {8, 2}, 1, 10, "\n +3 +[.0-9]+ +2 +-[.0-9]+ +1 +上拔 *\n"},
        ChapterRow{"long_rows", std::vector<double>(40, 5), 10, 8, "\n跨 31 – 40\n"},
        ChapterRow{"long_unarranged", std::vector<double>(40, 5), 10, 8, "布置从略"}),
    [](const auto& info) { return std::string(info.param.name); });

// Two 300 kN crane wheels 4.4 m apart on three 6 m spans: each row as the
// influence lines give it both ways. By hand, one wheel at mid-span 1 (the
// other off the beam) gives M = -300 x (1.5 - 0.3) = -360.
TEST(MovingSheet, WorstPlacesStandInTheirRows) {
    using analysis::InfluenceOf;
    TempDir dir;
    Beam b = LiveBeam(kThree, 10, 8);
    b.moving = {{"吊车", {300, 300}, {4.4}, 0}};
    ASSERT_TRUE(SaveBeam(dir.File("b.json"), b));
    const std::string pdf = dir.File("b.pdf");
    ASSERT_EQ(std::system(("'" CBEAM_CLI "' sheet " + dir.File("b.json") + " " + pdf).c_str()), 0);
    const std::string text = Shell("pdftotext -layout " + pdf + " -");
    EXPECT_TRUE(std::regex_search(text, std::regex("-360\\.000 +3\\.000"))) << text;
    EXPECT_TRUE(std::regex_search(text, std::regex("图 [0-9]+ +R ?结点 ?2 影响线")));
    const struct {
        const char* row;
        analysis::InfluenceAt at;
    } rows[] = {
        {"M ?跨 ?1 ?中", {InfluenceOf::Moment, 1, 3}},
        {"M ?结点 ?2", {InfluenceOf::Moment, 2, 0}},
        {"Vr ?跨 ?2", {InfluenceOf::Shear, 2, 6, analysis::Side::Left}},
        {"R ?结点 ?3", {InfluenceOf::Reaction, 1, 0, analysis::Side::Right, 3}},
    };
    analysis::Engine engine;
    ASSERT_TRUE(engine.Build(b));
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        analysis::InfluenceLine line;
        ASSERT_TRUE(line.Build(engine, b, r.at));
        std::string pattern = std::string("\n *") + r.row;
        for (const bool rightward : {true, false}) {
            const analysis::TrainExtremes e =
                analysis::WorstPositions(line, {{300, 300}, {0, 4.4}, 0}, rightward);
            for (const analysis::TrainPosition& p : {e.max, e.min})
                pattern += " +" + Re(p.value) + " +" + Re(p.position);
        }
        EXPECT_TRUE(std::regex_search(text, std::regex(pattern + " *\n")));
    }
}

}  // namespace
}  // namespace cbeam
