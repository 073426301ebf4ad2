#include "files/report.h"

#include <gtest/gtest.h>

#include <tuple>

#include "common/beam_helpers.h"
#include "files/gbk.h"

namespace cbeam {
namespace {

using namespace testing;

// Point load, uniform load and no load; a pinned left end; results set by
// hand so that the layout alone is under test.
BeamState GoldenBeam() {
    BeamState s = MakeBeam({{6, 1, 2, 30, 0.5}, {4.5, 0.5, 1, 12.5, 1}, {5, 1.25, 0, 0, 0}}, kFalse,
                           kTrue, 2.1);
    const double m[] = {0, 45, 11.7957, -3.25};
    const double theta[] = {-2.15, 1.54, 0.001234, 0};
    for (int k = 1; k <= 4; ++k) std::tie(s.M(k), s.Theta(k)) = std::tie(m[k - 1], theta[k - 1]);
    return s;
}

// The character column (from 1) at which `part` starts in `line`; 0 when absent.
int ColumnOf(const std::string& line, const std::string& part) {
    const auto at = line.find(part);
    if (at == std::string::npos) return 0;
    int column = 1;
    for (std::size_t i = 0; i < at; ++i) column += (line[i] & 0xC0) != 0x80;
    return column;
}

TEST(Report, MatchesTheGoldenFileByteForByteAndNeedsABeam) {
    const std::string golden = ReadAll(CBEAM_TEST_DATA "/report_3span.txt");
    std::string bytes;
    ASSERT_TRUE(EncodeReport(GoldenBeam(), bytes));
    EXPECT_EQ(bytes, golden);
    TempDir dir;
    ASSERT_TRUE(SaveReport(dir.File("r.txt"), GoldenBeam()));
    EXPECT_EQ(ReadAll(dir.File("r.txt")), golden);
    // A state without a beam has nothing to report and writes no file.
    EXPECT_EQ(ReportText(BeamState{}), "");
    EXPECT_FALSE(SaveReport(dir.File("none.txt"), BeamState{}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.txt")));
}

// The golden file's forms, stated on their own: N+6 lines, the print style of
// numbers, the nine-character rotation field.
TEST(Report, ColumnsAndNumberForms) {
    const std::vector<std::string> lines = ReportLines(GoldenBeam());
    ASSERT_EQ(lines.size(), 3u + 6);
    const struct {
        std::size_t line;
        const char* text;
        int column;
    } cells[] = {
        {5, "节点 1:0.00  -2.15E+00", 55},   // a pinned end, a negative rotation
        {6, " .5 (EI0)", 11},                // no zero before the point
        {6, "节点 2:45.00   1.54E+00", 55},  // a blank before a positive rotation
        {7, "无荷载", 29},
        {7, " 0 ", 38},
        {7, "0.0", 46},
        {8, "节点 4:-3.25   0.00E+00", 55},
    };
    for (const auto& c : cells) {
        EXPECT_EQ(ColumnOf(lines[c.line], c.text), c.column) << c.text << " in: " << lines[c.line];
    }
    EXPECT_EQ(lines[8].find_first_not_of(' '), 54u) << "the last row holds only the node part";
}

TEST(Report, AValueTooWideForItsColumnContinuesOnTheNextLine) {
    const std::vector<std::string> lines =
        ReportLines(MakeBeam({{1.23456789012345, 1.23456789012345, 0, 0, 0}}, kTrue, kTrue));
    // The rigidity from column 11 runs past column 22, the length past column 29.
    ASSERT_EQ(lines.size(), 1u + 6 + 2);
    EXPECT_EQ(ColumnOf(lines[5], " 1.23456789012345 (EI0)"), 11);
    EXPECT_EQ(lines[6], std::string(21, ' ') + " 1.23456789012345 ");
    EXPECT_EQ(ColumnOf(lines[7], "无荷载"), 29);
    EXPECT_EQ(ColumnOf(lines[7], "节点 1:"), 55);
}

TEST(Gbk, ConvertsBothWaysAndRefusesWhatGbkCannotHold) {
    EXPECT_EQ(Utf8ToGbk("abc 1.5"), "abc 1.5");
    EXPECT_EQ(Utf8ToGbk("节点"), "\xBD\xDA\xB5\xE3");
    EXPECT_EQ(GbkToUtf8("\xBD\xDA\xB5\xE3"), "节点");
    EXPECT_FALSE(Utf8ToGbk("\xF0\x9F\x98\x80"));  // an emoji
    EXPECT_FALSE(Utf8ToGbk("\xE8\x8A"));          // a cut-off sequence
    const std::string many(100000, 'x');
    EXPECT_EQ(Utf8ToGbk("节" + many)->size(), many.size() + 2);
}

}  // namespace
}  // namespace cbeam
