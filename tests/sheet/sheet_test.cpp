#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>

#include "common/beam_helpers.h"
#include "files/beam_json.h"
#include "model/design.h"
#include "model/driver.h"
#include "text/format.h"

namespace cbeam {
namespace {

using namespace testing;

std::string Shell(const std::string& command) {
    std::string out;
    char buf[4096];
    FILE* p = popen(command.c_str(), "r");
    for (std::size_t n; p != nullptr && (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    if (p != nullptr) pclose(p);
    return out;
}

std::vector<std::string> Tokens(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// The text of the sheet cbeam-cli writes for `beam`, laid out by pdftotext
// (every page ended by a form feed); `pdf` names the file.
std::string SheetText(const TempDir& dir, const BeamState& beam, const std::string& pdf) {
    EXPECT_TRUE(SaveBeam(dir.File("b.json"), beam));
    EXPECT_EQ(std::system(("'" CBEAM_CLI "' sheet " + dir.File("b.json") + " " + pdf).c_str()), 0);
    return Shell("pdftotext -layout " + pdf + " -");
}

bool HasRow(const std::string& text, const std::vector<std::string>& cells) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (Tokens(line) == cells) return true;
    return false;
}

std::string F(double v) {
    return Format(v, "0.000");
}
std::string Esc(const std::string& s) {  // a number as a regular expression
    return std::regex_replace(s, std::regex("[.+]"), "\\$&");
}
std::string Re(double v) {
    return Esc(F(v));
}

// Clamped left, pinned right; EIo = 2; a full, a point and a half-span load.
BeamState HandBeam() {
    return MakeBeam({{4, 2, 1, 10, 1}, {6, 1.5, 2, 20, 0.25}, {5, 1, 1, 5, 0.5}}, kTrue, kFalse, 2);
}

TEST(SheetPdf, EveryResultStandsInItsTableRow) {
    TempDir dir;
    BeamState s = HandBeam();
    const std::string text = SheetText(dir, s, dir.File("b.pdf"));
    ASSERT_TRUE(RunAnalysis(s).status);
    const DesignValues d = ComputeDesignValues(s);
    for (int k = 1; k <= s.N + 1; ++k) {
        SCOPED_TRACE("node " + std::to_string(k));
        EXPECT_TRUE(HasRow(
            text, {std::to_string(k), F(s.M(k)), F(d.R[k - 1]), Format(s.Theta(k), "0.000E+00")}));
    }
    for (int k = 1; k <= s.N; ++k) {
        SCOPED_TRACE("span " + std::to_string(k));
        const auto& v = d.spans[k - 1];
        EXPECT_TRUE(HasRow(
            text, {std::to_string(k), F(v.Vl), F(v.Vr), F(v.Msag), F(v.xMsag), F(v.w), F(v.xw)}));
    }
}

// The working, against the beam worked by hand: i = EI EIo / L; fixed-end
// moments -+qL^2/12, -Pab^2/L^2 and Pa^2b/L^2, and for q over c from the left
// q c^2 (6L^2 - 8Lc + 3c^2) / 12L^2 and q c^3 (4L - 3c) / 12L^2.
TEST(SheetPdf, WorkingAgreesWithTheHandCalculation) {
    TempDir dir;
    BeamState s = HandBeam();
    const std::string text = SheetText(dir, s, dir.File("b.pdf"));
    ASSERT_TRUE(RunAnalysis(s).status);
    const double i1 = 1, i2 = 0.5, i3 = 0.4, q1 = 10 * 16 / 12.0;
    const double p12 = 20 * 1.5 * 4.5 * 4.5 / 36, p21 = 20 * 1.5 * 1.5 * 4.5 / 36;
    const double u12 = 5 * 6.25 * (150 - 100 + 18.75) / 300, u21 = 5 * 15.625 * 12.5 / 300;
    const std::string any = " = [^=\n]+ = ";
    std::vector<std::pair<std::string, std::string>> rows = {
        {"i1", "i1 = EI/L" + any + Re(i1)},
        {"i2", "i2 = EI/L" + any + Re(i2)},
        {"i3", "i3 = EI/L" + any + Re(i3)},
        {"FEM 1", "MF\\(1,2\\)" + any + Re(-q1) + "，MF\\(2,1\\)" + any + Re(q1)},
        {"FEM 2", "MF\\(2,3\\)" + any + Re(-p12) + "，MF\\(3,2\\)" + any + Re(p21)},
        {"FEM 3", "MF\\(3,4\\)" + any + Re(-u12) + "，MF\\(4,3\\)" + any + Re(u21)},
        {"node 2",
         "结点 2：" + Re(4 * (i1 + i2)) + "θ2 \\+ " + Re(2 * i2) + "θ3 = " + Re(p12 - q1)},
        {"node 4", "结点 4：" + Re(2 * i3) + "θ3 \\+ " + Re(4 * i3) + "θ4 = " + Re(-u21)}};
    for (int k = 1; k <= s.N; ++k) {
        const std::string ij = std::to_string(k) + "," + std::to_string(k + 1);
        const std::string ji = std::to_string(k + 1) + "," + std::to_string(k);
        rows.push_back({"θ" + std::to_string(k + 1), "θ" + std::to_string(k + 1) + " = " +
                                                         Esc(Format(s.Theta(k + 1), "0.000E+00"))});
        rows.push_back({"end moments " + ij, "M\\(" + ij + "\\) = " + Re(-s.M(k)) + " kN·m，M\\(" +
                                                 ji + "\\) = " + Re(s.M(k + 1))});
    }
    for (const auto& [name, pattern] : rows) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(std::regex_search(text, std::regex(pattern)));
    }
    EXPECT_EQ(text.find("结点 1："), std::string::npos) << "the clamped end has no equation";
}

// A long beam: vector text in an embedded font, numbered pages, table
// headers on every page a table goes on to, the working left out.
TEST(SheetPdf, LongBeamPagesFontsAndNoImages) {
    TempDir dir;
    const std::string pdf = dir.File("b.pdf");
    const std::string text =
        SheetText(dir, MakeBeam(std::vector<SpanInput>(120, {5, 1, 1, 10, 1}), kTrue, kTrue), pdf);
    EXPECT_EQ(Shell("pdfimages -list " + pdf + " | wc -l"), "2\n");
    std::istringstream fonts(Shell("pdffonts " + pdf));
    int embedded = 0;
    for (std::string line; std::getline(fonts, line);) {
        const auto t = Tokens(line);
        if (t.size() > 6 && t[0] != "name" && t[0][0] != '-')
            embedded += t[t.size() - 5] == "yes" ? 1 : -99;
    }
    EXPECT_GE(embedded, 1);
    const auto pages = std::count(text.begin(), text.end(), '\f');
    ASSERT_GT(pages, 3);
    std::istringstream all(text);
    int page = 0;
    for (std::string p; std::getline(all, p, '\f'); ++page) {
        SCOPED_TRACE("page " + std::to_string(page + 1));
        const std::regex footer("第\\s*" + std::to_string(page + 1) + "\\s*页\\s*共\\s*" +
                                std::to_string(pages) + "\\s*页");
        EXPECT_TRUE(std::regex_search(p, footer));
        const bool nodeRows =
            std::regex_search(p, std::regex("\n +[0-9]+ +[-0-9.]+ +[-0-9.]+ +[-0-9.]+E"));
        EXPECT_TRUE(!nodeRows || p.find("θ (rad)") != std::string::npos);
    }
    EXPECT_NE(text.find("连续梁计算书"), std::string::npos);
    EXPECT_NE(text.find("计算过程从略"), std::string::npos);
}

}  // namespace
}  // namespace cbeam
