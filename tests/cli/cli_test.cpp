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
#include "model/compute.h"

namespace cbeam {
namespace {

using namespace testing;

const std::string kExamples = CBEAM_SOURCE_DIR "/examples/";

struct Outcome {
    int exit = -1;
    std::string out, err;
};

// Runs the real executable with its output captured (or sent to `outFile`).
// No argument here holds a single quote, so plain quoting will do.
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

BeamState Analysed(const std::string& path) {
    BeamState s;
    EXPECT_TRUE(LoadBeamFile(path, s)) << path;
    EXPECT_EQ(Analyse(s), SolveStatus::Solved);
    return s;
}

// The example beams shipped in examples/ and their results. Run once with
// CBEAM_WRITE_EXAMPLES=1 to write them with the program's own writer.
TEST(CliProcess, SolvePrintsTheResultsListAndJsonThatParsesBackExactly) {
    const struct {
        const char* file;
        BeamState beam;
        const char* lines;
    } examples[] = {
        {"three-span.bmf",
         MakeBeam({{6, 1, 1, 20, 1}, {4.5, 1.5, 2, 50, 0.5}, {5, 1, 1, 15, 0.6}}, kFalse, kFalse,
                  2),
         "结点 1:0.000\n结点 2:70.173387\n结点 3:23.334677\n结点 4:0.000\n"},
        // The textbook end moment q L^2 / 8 of a propped cantilever.
        {"fixed-pinned.bmf", MakeBeam({{8, 1, 1, 10, 1}}, kTrue, kFalse, 1),
         "结点 1:80.000\n结点 2:0.000\n"},
    };
    for (auto e : examples) {
        if (std::getenv("CBEAM_WRITE_EXAMPLES")) {
            ASSERT_EQ(Analyse(e.beam), SolveStatus::Solved) << e.file;
            ASSERT_TRUE(SaveBeamFile(kExamples + e.file, e.beam)) << e.file;
        }
        const Outcome lines = RunCli({"solve", kExamples + e.file});
        EXPECT_EQ(lines.exit, 0);
        EXPECT_EQ(lines.out + lines.err, e.lines);

        const Outcome o = RunCli({"solve", "--json", kExamples + e.file});
        EXPECT_EQ(o.exit, 0) << o.err;
        const BeamState s = Analysed(kExamples + e.file);
        QJsonArray m, theta;
        for (int k = 1; k <= s.N + 1; ++k) m.append(s.M(k)), theta.append(s.Theta(k));
        EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(o.out)).object(),
                  QJsonObject({{"N", s.N},
                               {"Flag0", s.Flag0 != kFalse},
                               {"FlagN", s.FlagN != kFalse},
                               {"M", m},
                               {"Theta", theta}}))
            << o.out;
    }
}

TEST(CliProcess, ReportWritesTheSameBytesAsTheWindowsReport) {
    TempDir dir;
    const Outcome o = RunCli({"report", kExamples + "three-span.bmf", dir.File("r.txt")});
    EXPECT_EQ(o.exit, 0) << o.err;
    EXPECT_EQ(o.out + o.err, "");
    std::string expected;
    ASSERT_TRUE(EncodeReport(Analysed(kExamples + "three-span.bmf"), expected));
    EXPECT_EQ(ReadAll(dir.File("r.txt")), expected);
}

TEST(CliProcess, ErrorsAreOneChineseLineWithTheirExitCode) {
    TempDir dir;
    const std::string undefined = dir.File("undefined.bmf");
    ASSERT_TRUE(SaveBeamFile(
        undefined, MakeBeam({{5, 1, 1, 10, 1}, {5, 0, 0, 0, 0}, {5, 0, 0, 0, 0}}, kTrue, kTrue)));
    // Rigidities so large that the stiffness overflows.
    const std::string overflow = dir.File("overflow.bmf");
    ASSERT_TRUE(SaveBeamFile(
        overflow, MakeBeam({{5, 1e300, 1, 10, 1}, {5, 1e300, 0, 0, 0}}, kTrue, kTrue, 1e300)));
    const std::string good = kExamples + "three-span.bmf";

    const struct {
        std::vector<std::string> args;
        int exit;
        std::string err;  // the line without its end; only its start when it ends in "…"
    } cases[] = {
        {{"solve", dir.File("absent.bmf")}, 2, "无法读取数据文件！文件或文件夹不存在"},
        {{"solve", "/dev/null"}, 2, "无法读取数据文件！文件是空的"},
        {{"solve", dir.Path()}, 2, "无法读取数据文件！这是一个文件夹"},
        {{"solve", undefined}, 3, "第 2跨未定义!"},
        {{"solve", "--json", overflow}, 3, "无法计算，请检查各跨的长度、刚度和荷载！"},
        {{"report", undefined, dir.File("u.txt")}, 3, "第 2跨未定义!"},
        {{"report", "/dev/null", dir.File("z.txt")}, 2, "无法读取数据文件！…"},
        {{"report", good, dir.File("no/folder/r.txt")}, 2, "保存txt文件失败！文件或文件夹不存在"},
        {{"report", good, dir.Path()}, 2, "保存txt文件失败！这是一个文件夹"},
        {{}, 1, "缺少命令…"},
        {{"frobnicate"}, 1, "未知的命令：frobnicate…"},
        {{"solve"}, 1, "solve 需要一个数据文件…"},
        {{"solve", good, good}, 1, "solve 需要一个数据文件…"},
        {{"solve", "--xml", good}, 1, "未知的选项：--xml…"},
        {{"report", good}, 1, "report 需要…"},
    };
    for (const auto& c : cases) {
        std::string label;
        for (const std::string& a : c.args) label += a + " ";
        const Outcome o = RunCli(c.args);
        EXPECT_EQ(o.exit, c.exit) << label;
        EXPECT_EQ(o.out, "") << label;
        const std::string line = o.err.substr(0, o.err.find('\n'));
        EXPECT_EQ(o.err, line + "\n") << label << ": not one line";
        const std::size_t cut = c.err.ends_with("…") ? c.err.size() - 3 : std::string::npos;
        EXPECT_EQ(line.substr(0, cut), c.err.substr(0, cut)) << label;
    }
    // A refused beam writes no report.
    EXPECT_FALSE(std::filesystem::exists(dir.File("u.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("z.txt")));
    // Results that cannot be written are no success.
    EXPECT_EQ(RunCli({"solve", good}, "/dev/full").exit, 2);
}

TEST(CliProcess, HelpDocumentsEveryCommandAndDrawIsDispatched) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--help"}, {"-h"}, {"solve", "--help"}}) {
        const Outcome o = RunCli(args);
        EXPECT_EQ(o.exit, 0);
        EXPECT_EQ(o.err, "");
        for (const char* part :
             {"cbeam-cli solve FILE.bmf [--json]", "cbeam-cli report FILE.bmf OUT.txt",
              "cbeam-cli draw FILE.bmf [--schematic OUT] [--diagram OUT] [--size WxH] [--scale S] "
              "[--list schematic|diagram] [--canvas WxH]",
              "无法读取数据文件！", "保存txt文件失败！", "跨未定义!"}) {
            EXPECT_NE(o.out.find(part), std::string::npos) << part;
        }
    }
    EXPECT_EQ(RunCli({"draw"}).err.find("未知的命令"), std::string::npos);
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
