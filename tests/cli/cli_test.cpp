#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>

#include "cli/commands.h"
#include "common/beam_helpers.h"
#include "files/bmf.h"
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

BeamState Analysed(const std::string& file) {
    BeamState s;
    EXPECT_TRUE(LoadBeamFile(kExamples + file, s) && RunAnalysis(s).status) << file;
    return s;
}

// The example beams: the results list, JSON that gives the exact doubles
// back, and the report of the window.
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
        const Outcome o = RunCli({"solve", "--json", kExamples + r.file});
        const BeamState s = Analysed(r.file);
        QJsonArray m, theta;
        for (int k = 1; k <= s.N + 1; ++k) m.append(s.M(k)), theta.append(s.Theta(k));
        EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(o.out)).object(),
                  QJsonObject({{"N", s.N},
                               {"Flag0", s.Flag0 != kFalse},
                               {"FlagN", s.FlagN != kFalse},
                               {"M", m},
                               {"Theta", theta}}));
        TempDir dir;
        const Outcome report = RunCli({"report", kExamples + r.file, dir.File("r.txt")});
        EXPECT_EQ(report.exit + report.out.size() + report.err.size(), 0u) << report.err;
        std::string expected;
        ASSERT_TRUE(EncodeReport(s, expected));
        EXPECT_EQ(ReadAll(dir.File("r.txt")), expected);
    }
}

TEST(CliProcess, ErrorsAreOneChineseLineWithTheirExitCode) {
    TempDir dir;
    const std::string undefined = dir.File("undefined.bmf"), overflow = dir.File("overflow.bmf");
    ASSERT_TRUE(
        SaveBeamFile(undefined, MakeBeam({{5, 1, 1, 10, 1}, {5, 0}, {5, 0}}, kTrue, kTrue)));
    // Rigidities so large that the stiffness overflows.
    ASSERT_TRUE(
        SaveBeamFile(overflow, MakeBeam({{5, 1e300, 1, 10, 1}, {5, 1e300}}, kTrue, kTrue, 1e300)));
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
        {{"draw", undefined, "--list", "diagram"}, 3, "第 2跨未定义!"},
        {{}, 1, "缺少命令…"},
        {{"frobnicate"}, 1, "未知的命令：frobnicate…"},
        {{"solve", good, good}, 1, "solve 需要一个数据文件…"},
        {{"solve", "--xml", good}, 1, "未知的选项：--xml…"},
        {{"report", good}, 1, "report 需要…"},
    };
    for (const auto& r : rows) {
        std::string label;
        for (const std::string& a : r.args) label += a + " ";
        SCOPED_TRACE(label);
        const Outcome o = RunCli(r.args);
        EXPECT_EQ(o.exit, r.exit);
        EXPECT_EQ(o.out, "");
        const std::size_t cut = r.err.ends_with("…") ? r.err.size() - 3 : std::string::npos;
        EXPECT_EQ(o.err.substr(0, cut),
                  r.err.substr(0, cut) + (cut == std::string::npos ? "\n" : ""));
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("u.txt")) ||
                 std::filesystem::exists(dir.File("z.txt")));
    // Results that cannot be written are no success.
    EXPECT_EQ(RunCli({"solve", good}, "/dev/full").exit, 2);
}

TEST(CliProcess, HelpDocumentsEveryCommandAndItsMessages) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"-h"}, {"solve", "--help"}}) {
        const Outcome o = RunCli(args);
        EXPECT_EQ(o.exit + o.err.size(), 0u);
        EXPECT_EQ(o.out, cli::HelpText());
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
