#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "cli/commands.h"
#include "common/beam_helpers.h"
#include "files/bmf.h"
#include "files/gbk.h"
#include "files/report.h"
#include "model/driver.h"

namespace cbeam {
namespace {

using namespace testing;

const std::string kExamples = CBEAM_SOURCE_DIR "/examples/";

struct Outcome {
    int exit = -1;
    std::string out, err;
};

// The real executable, its output captured (or sent to `outFile`). No
// argument here holds a single quote, so plain quoting will do.
Outcome RunCli(const std::vector<std::string>& args, const std::string& outFile = "") {
    static TempDir capture;
    const std::string out = outFile.empty() ? capture.File("out") : outFile;
    std::string command = "'" CBEAM_CLI "'";
    for (const std::string& a : args) command += " '" + a + "'";
    command += " >" + out + " 2>" + capture.File("err") + " </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            outFile.empty() ? ReadAll(out) : std::string(), ReadAll(capture.File("err"))};
}

// The example beams: the results list, the JSON and the report of the
// window, each of the beam's own analysis.
TEST(CliProcess, SolveAndReportGiveTheWindowsResults) {
    const struct {
        const char* file;
        const char* lines;
    } rows[] = {
        {"three-span.bmf", "结点 1:0.000\n结点 2:70.173387\n结点 3:23.334677\n结点 4:0.000\n"},
        // The end moment q L^2 / 8 of a propped cantilever.
        {"fixed-pinned.bmf", "结点 1:80.000\n结点 2:0.000\n"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file);
        const Outcome lines = RunCli({"solve", kExamples + r.file});
        EXPECT_EQ(lines.exit, 0);
        EXPECT_EQ(lines.out + lines.err, r.lines);
        BeamState s;
        ASSERT_TRUE(LoadBeamFile(kExamples + r.file, s) && RunAnalysis(s).status);
        EXPECT_EQ(RunCli({"solve", "--json", kExamples + r.file}).out, cli::NodeResultJson(s));
        TempDir dir;
        const Outcome report = RunCli({"report", kExamples + r.file, dir.File("r.txt")});
        EXPECT_EQ(report.exit + report.out.size() + report.err.size(), 0u) << report.err;
        std::string expected;
        ASSERT_TRUE(EncodeReport(s, expected));
        EXPECT_EQ(ReadAll(dir.File("r.txt")), expected);
        EXPECT_EQ(
            RunCli({"report", "--encoding", "utf-8", kExamples + r.file, dir.File("u.txt")}).exit,
            0);
        EXPECT_EQ(GbkToUtf8(expected), ReadAll(dir.File("u.txt")));
    }
}

TEST(CliProcess, ErrorsAreOneChineseLineWithTheirExitCode) {
    TempDir dir;
    const std::string undefined = dir.File("undefined.bmf"), overflow = dir.File("overflow.bmf");
    // clang-format off
    ASSERT_TRUE(SaveBeamFile(undefined, MakeBeam({{5, 1, 1, 10, 1}, {5, 0}, {5, 0}}, kTrue, kTrue)));
    // Rigidities so large that the stiffness overflows.
    ASSERT_TRUE(SaveBeamFile(overflow, MakeBeam({{5, 1e300, 1, 10, 1}, {5, 1e300}}, kTrue, kTrue, 1e300)));
    // clang-format on
    const std::string good = kExamples + "three-span.bmf";
    const struct {
        std::vector<std::string> args;
        int exit;
        std::string err;  // the line without its end; only its start when it ends in "…"
    } rows[] = {
        {{"solve", dir.File("absent.bmf")}, 2, "无法读取数据文件！文件或文件夹不存在"},
        {{"solve", "/dev/null"}, 2, "无法读取数据文件！文件是空的"},
        {{"solve", undefined}, 3, "第 2跨未定义!"},
        {{"solve", "--json", overflow}, 3, "无法计算，请检查各跨的长度、刚度和荷载！"},
        {{"report", undefined, dir.File("u.txt")}, 3, "第 2跨未定义!"},
        {{"report", dir.Path(), dir.File("z.txt")}, 2, "无法读取数据文件！这是一个文件夹"},
        {{"report", good, dir.File("no/folder/r.txt")}, 2, "保存txt文件失败！文件或文件夹不存在"},
#ifdef CBEAM_CLI_DRAW
        {{"draw", undefined, "--list", "diagram"}, 3, "第 2跨未定义!"},
        {{"sheet", undefined, dir.File("u.pdf")}, 3, "第 2跨未定义!"},
#endif
        {{}, 1, "缺少命令…"},
        {{"frobnicate"}, 1, "未知的命令：frobnicate…"},
        {{"solve", "--xml", good}, 1, "未知的选项：--xml…"},
        {{"report", good}, 1, "report 需要…"},
        {{"report", "--encoding", "latin1", good, dir.File("z.txt")}, 1, "--encoding 须为…"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::PrintToString(r.args));
        const Outcome o = RunCli(r.args);
        EXPECT_EQ(o.exit, r.exit);
        EXPECT_EQ(o.out, "");
        const std::size_t cut = r.err.ends_with("…") ? r.err.size() - 3 : std::string::npos;
        EXPECT_EQ(o.err.substr(0, cut),
                  r.err.substr(0, cut) + (cut == std::string::npos ? "\n" : ""));
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("u.txt")) ||
                 std::filesystem::exists(dir.File("u.pdf")) ||
                 std::filesystem::exists(dir.File("z.txt")));
    // Results that cannot be written are no success.
    EXPECT_EQ(RunCli({"solve", good}, "/dev/full").exit, 2);
}

TEST(CliProcess, HelpDocumentsEveryCommandAndItsMessages) {
    for (const auto& args : {std::vector<std::string>{"-h"}, {"solve", "--help"}}) {
        const Outcome o = RunCli(args);
        EXPECT_EQ(o.out + o.err + std::to_string(o.exit), cli::HelpText() + "0");
    }
    for (const char* part :
         {"cbeam-cli solve FILE.bmf [--json]", "cbeam-cli report FILE.bmf OUT.txt",
          "cbeam-cli draw FILE.bmf [--schematic OUT] [--diagram OUT] [--size WxH] [--scale S] "
          "[--list schematic|diagram] [--canvas WxH]",
          "（“无法读取数据文件！”加原因）", "（“保存txt文件失败！”加原因）",
          "（“第 k跨未定义!”，或“无法计算，请检查各跨的长度、刚度和荷载！”）\n"}) {
        EXPECT_NE(cli::HelpText().find(part), std::string::npos) << part;
    }
}

// A beam goes to JSON and back unchanged, and every command reads either kind.
TEST(CliProcess, ConvertsBothWaysAndReadsJsonBeams) {
    TempDir dir;
    const std::string bmf = kExamples + "three-span.bmf";
    for (const auto& [in, out] : {std::pair{bmf, dir.File("a.json")},
                                  {dir.File("a.json"), dir.File("b.bmf")},
                                  {dir.File("b.bmf"), dir.File("c.json")}}) {
        const Outcome o = RunCli({"convert", in, out});
        EXPECT_EQ(o.exit + o.out.size() + o.err.size(), 0u) << o.err;
    }
    EXPECT_EQ(ReadAll(dir.File("c.json")), ReadAll(dir.File("a.json")));
    EXPECT_EQ(RunCli({"solve", dir.File("a.json")}).out, RunCli({"solve", bmf}).out);
    std::string bad = ReadAll(dir.File("a.json"));
    bad.replace(bad.find("\"L\": 4.5"), 8, "\"L\": 0.0");
    WriteAll(dir.File("bad.json"), bad);
    const struct {
        std::vector<std::string> args;
        std::string err;
    } refusals[] = {
        {{"solve", dir.File("bad.json")}, "无法读取数据文件！spans[1].L：第2跨的长度不大于零\n"},
        {{"convert", bmf, dir.File("no/folder/x.json")}, "保存数据文件失败！文件或文件夹不存在\n"},
    };
    for (const auto& r : refusals) {
        const Outcome o = RunCli(r.args);
        EXPECT_EQ(std::to_string(o.exit) + o.err, "2" + r.err);
    }
}

// 17 digits give the exact doubles back; any flag other than 0 is a fixed end.
TEST(CliFormat, JsonOfGivenResults) {
    BeamState s = MakeBeam({{}}, kFalse, 1);
    s.M(1) = -1.23456789;
    s.Theta(2) = 0.1;
    EXPECT_EQ(cli::NodeResultJson(s),
              "{\"N\":1,\"Flag0\":false,\"FlagN\":true,\"M\":[-1.2345678899999999,0],"
              "\"Theta\":[0,0.10000000000000001]}\n");
}

}  // namespace
}  // namespace cbeam
