#include "files/report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/beam_helpers.h"
#include "files/gbk.h"

namespace cbeam {
namespace {

using testing::MakeBeam;
using testing::ReadAll;
using testing::TempDir;

// Point load, uniform load and no load; a pinned left end; results set by
// hand so that the layout alone is under test.
BeamState GoldenBeam() {
    BeamState s = MakeBeam({{6, 1, 2, 30, 0.5}, {4.5, 0.5, 1, 12.5, 1}, {5, 1.25, 0, 0, 0}}, kFalse,
                           kTrue, 2.1);
    const double m[] = {0, 45, 11.7957, -3.25};
    const double theta[] = {-2.15, 1.54, 0.001234, 0};
    for (int k = 1; k <= 4; ++k) {
        s.M(k) = m[k - 1];
        s.Theta(k) = theta[k - 1];
    }
    return s;
}

// The character column (from 1) at which `part` starts in `line`.
int ColumnOf(const std::string& line, const std::string& part) {
    const auto at = line.find(part);
    if (at == std::string::npos) return 0;
    int column = 1;
    for (std::size_t i = 0; i < at; ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;
    }
    return column;
}

TEST(Report, MatchesTheGoldenFileByteForByte) {
    std::string bytes;
    ASSERT_TRUE(EncodeReport(GoldenBeam(), bytes));
    const std::string golden = ReadAll(CBEAM_TEST_DATA "/report_3span.txt");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(bytes, golden);

    TempDir dir;
    ASSERT_TRUE(SaveReport(dir.File("r.txt"), GoldenBeam()));
    EXPECT_EQ(ReadAll(dir.File("r.txt")), golden);
}

TEST(Report, LinesColumnsAndNumberForms) {
    const std::vector<std::string> lines = ReportLines(GoldenBeam());
    ASSERT_EQ(lines.size(), 3u + 6);
    EXPECT_EQ(lines[0], "                              连续梁计算结果");
    EXPECT_EQ(lines[2], "    基本抗弯刚度EIo: 2.1 (10e6 kNm^2)");
    EXPECT_EQ(lines[3], "    连续梁的段数:  3 ");

    struct Cell {
        int line;
        const char* text;
        int column;
    };
    const Cell cells[] = {
        {5, " 1 ", 3},
        {5, " 1 (EI0)", 11},
        {5, " 6 ", 22},
        {5, "集中荷载P", 29},
        {5, " 30 ", 38},
        {5, "0.5", 46},
        {5, "节点 1:0.00  -2.15E+00", 55},  // a pinned end, a negative rotation
        {6, " .5 (EI0)", 11},               // no zero before the point
        {6, "均布荷载Q", 29},
        {6, "1.0", 46},
        {6, "节点 2:45.00   1.54E+00", 55},  // a blank before a positive rotation
        {7, "无荷载", 29},
        {7, " 0 ", 38},
        {7, "0.0", 46},
        {7, "节点 3:11.796   1.23E-03", 55},
        {8, "节点 4:-3.25   0.00E+00", 55},
    };
    for (const Cell& c : cells) {
        EXPECT_EQ(ColumnOf(lines[static_cast<std::size_t>(c.line)], c.text), c.column)
            << c.text << " in: " << lines[static_cast<std::size_t>(c.line)];
    }
    // The last row holds only the node part.
    EXPECT_EQ(lines[8].find_first_not_of(' '), 54u);
}

TEST(Report, AValueTooWideForItsColumnContinuesOnTheNextLine) {
    BeamState s = MakeBeam({{1.23456789012345, 1.23456789012345, 0, 0, 0}}, kTrue, kTrue);
    const std::vector<std::string> lines = ReportLines(s);
    // " 1.23456789012345 (EI0)" runs from column 11 past column 22, and the
    // length from column 22 past column 29.
    ASSERT_EQ(lines.size(), 1u + 6 + 2);
    EXPECT_EQ(ColumnOf(lines[5], " 1.23456789012345 (EI0)"), 11);
    EXPECT_EQ(lines[6], std::string(21, ' ') + " 1.23456789012345 ");
    EXPECT_EQ(ColumnOf(lines[7], "无荷载"), 29);
    EXPECT_EQ(ColumnOf(lines[7], "节点 1:"), 55);
}

TEST(Report, FileEndsEveryLineWithCrLfInGbk) {
    std::string bytes;
    ASSERT_TRUE(EncodeReport(GoldenBeam(), bytes));
    EXPECT_EQ(bytes.find("\n"), bytes.find("\r\n") + 1);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const auto utf8 = GbkToUtf8(bytes);
    ASSERT_TRUE(utf8);
    std::string expected;
    for (const std::string& line : ReportLines(GoldenBeam())) expected += line + "\r\n";
    EXPECT_EQ(*utf8, expected);
    // "连续" in GBK.
    EXPECT_NE(bytes.find("\xC1\xAC\xD0\xF8"), std::string::npos);
}

TEST(Report, NothingToReportAndFailedWritesAreErrors) {
    TempDir dir;
    EXPECT_EQ(ReportText(BeamState{}), "");
    EXPECT_FALSE(SaveReport(dir.File("r.txt"), BeamState{}));
    const FileResult r = SaveReport(dir.File("no/such/folder/r.txt"), GoldenBeam());
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.reason.empty());
    EXPECT_FALSE(SaveReport(dir.Path(), GoldenBeam()));
    EXPECT_FALSE(std::filesystem::exists(dir.File("r.txt")));
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
