#include "files/report.h"

#include <gtest/gtest.h>

#include "common/beam_helpers.h"
#include "files/gbk.h"

namespace cbeam {
namespace {

using namespace testing;

// Point load, uniform load and no load (switched off, so keeping a magnitude
// and a that are no load: reported as 0 and 0.0, as a saved file has them);
// a pinned left end; results set by hand: a pinned end's 0.00, a negative
// rotation, an EI of .5, a moment rounded to three decimals.
BeamState GoldenBeam() {
    BeamState s = MakeBeam({{6, 1, 2, 30, 0.5}, {4.5, 0.5, 1, 12.5, 1}, {5, 1.25, 0, 7, 0.3}},
                           kFalse, kTrue, 2.1);
    const double m[] = {0, 45, 11.7957, -3.25}, theta[] = {-2.15, 1.54, 0.001234, 0};
    for (int k = 1; k <= 4; ++k) std::tie(s.M(k), s.Theta(k)) = std::tie(m[k - 1], theta[k - 1]);
    s.Results = {};
    return s;
}

// Results that are not those of the beam are no report: no file, and the
// analysis' own reason.
TEST(Report, TheGoldenFileByteForByteOnlyForCurrentResults) {
    const std::string golden = ReadAll(CBEAM_TEST_DATA "/report_3span.txt");
    std::string bytes;
    ASSERT_TRUE(EncodeReport(GoldenBeam(), bytes));
    EXPECT_EQ(bytes, golden);
    EXPECT_EQ(EncodeReport(BeamState{}, bytes), Status{Code::NoBeam});
    TempDir dir;
    BeamState s = GoldenBeam();
    for (const Status& results :
         {Status{Code::UndefinedSpan, 3}, Status{Code::NotAnalysed}, Status{}}) {
        SCOPED_TRACE(MessageText(results));
        s.Results = results;
        EXPECT_EQ(SaveReport(dir.File("r.txt"), s), results);
        EXPECT_EQ(ReadAll(dir.File("r.txt")), results ? golden : "");
    }
}

TEST(Report, AValueTooWideForItsColumnContinuesOnTheNextLine) {
    const std::vector<std::string> lines =
        ReportLines(MakeBeam({{1.23456789012345, 1.23456789012345, 0, 0, 0}}, kTrue, kTrue));
    // The rigidity from column 11 runs past column 22, the length past column 29.
    ASSERT_EQ(lines.size(), 1u + 6 + 2);
    EXPECT_EQ(lines[5], "   1       1.23456789012345 (EI0)");
    EXPECT_EQ(lines[6], std::string(21, ' ') + " 1.23456789012345 ");
    EXPECT_EQ(lines[7],
              std::string(28, ' ') + "无荷载       0      0.0      节点 1:0.00   0.00E+00");
}

TEST(Gbk, ConvertsBothWaysAndRefusesWhatGbkCannotHold) {
    EXPECT_EQ(GbkToUtf8("\xBD\xDA\xB5\xE3"), "节点");
    EXPECT_FALSE(Utf8ToGbk("\xF0\x9F\x98\x80"));  // an emoji
    EXPECT_FALSE(Utf8ToGbk("\xE8\x8A"));          // a cut-off sequence
}

}  // namespace
}  // namespace cbeam
