#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <sstream>

#include "cli/commands.h"
#include "common/beam_helpers.h"
#include "files/bmf.h"
#include "files/gbk.h"
#include "files/report.h"
#include "model/design.h"
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
        ASSERT_TRUE(LoadBeamFile(kExamples + r.file, s));
        ASSERT_TRUE(RunAnalysis(s).status);
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
    // Rigidities so large that the stiffness would overflow: not a beam.
    WriteAll(overflow, BmfBytes(MakeBeam({{5, 1e300, 1, 10, 1}, {5, 1e300}}, kTrue, kTrue, 1e300)));
    // clang-format on
    const std::string good = kExamples + "three-span.bmf";
    const struct {
        std::vector<std::string> args;
        int exit;
        std::string err;  // the line without its end; only its start when it ends in "…"
    } rows[] = {
        {{"solve", dir.File("absent.bmf")}, 2, "无法读取数据文件！文件或文件夹不存在"},
        {{"solve", "/dev/null"}, 2, "无法读取数据文件！不是普通文件（是设备、管道或套接字）"},
        {{"solve", undefined}, 3, "第 2跨未定义!"},
        {{"solve", "--json", overflow}, 2, "无法读取数据文件！基本抗弯刚度EIo数值超出范围！"},
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
        {{"table", good, "--points", "1"}, 1, "--points 需要 2 到 10000 之间的整数…"},
        {{"table", undefined}, 3, "第 2跨未定义!"},
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
          "cbeam-cli table FILE.bmf [OUT.csv|-] [--points K]", "V 为荷载右侧的剪力",
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
    EXPECT_TRUE(cli::NodeResultJson(s).starts_with(
        "{\"N\":1,\"Flag0\":false,\"FlagN\":true,\"M\":[-1.2345678899999999,0],"
        "\"Theta\":[0,0.10000000000000001],\"R\":["));
}

// The numbers of `key`'s array, nested pairs flattened.
std::vector<double> Numbers(const std::string& json, const std::string& key) {
    const std::size_t at = json.find('"' + key + "\":");
    if (at == std::string::npos) return {};
    std::string text = json.substr(at, json.find_first_of("\"}", at + 1 + key.size() + 1) - at);
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return !std::isdigit(c) && c != '.' && c != '-' && c != 'e'; }, ' ');
    std::istringstream in(text);
    return {std::istream_iterator<double>(in), {}};
}

// Two equal spans under q over both, pinned ends: R = 3qL/8, 5qL/4, 3qL/8;
// end shears 3qL/8 and 5qL/8; largest sagging moment 9qL^2/128 at 3L/8.
TEST(CliProcess, SolveJsonGivesTheDesignValues) {
    const double q = 10, L = 8, r = 3 * q * L / 8, v = 5 * q * L / 8, m = 9 * q * L * L / 128;
    TempDir dir;
    BeamState s = MakeBeam({{L, 1, 1, q, 1}, {L, 1, 1, q, 1}}, kFalse, kFalse);
    ASSERT_TRUE(SaveBeamFile(dir.File("two.bmf"), s));
    ASSERT_TRUE(RunAnalysis(s).status);
    const std::string json = RunCli({"solve", dir.File("two.bmf"), "--json"}).out;
    const DesignValues d = ComputeDesignValues(s);
    const struct {
        const char* key;
        std::vector<double> expected;
    } rows[] = {{"R", {r, 2 * v, r}},
                {"V", {r, -v, v, -r}},
                {"Msag", {-m, -m}},
                {"xMsag", {3 * L / 8, 5 * L / 8}},
                {"w", {d.spans[0].w, d.spans[0].w}},
                {"xw", {d.spans[0].xw, L - d.spans[0].xw}}};
    EXPECT_LT(json.find("\"Theta\""), json.find("\"R\""));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        const std::vector<double> got = Numbers(json, row.key);
        ASSERT_EQ(got.size(), row.expected.size());
        for (std::size_t k = 0; k < got.size(); ++k) EXPECT_NEAR(got[k], row.expected[k], 1e-11);
    }
}

// Span 2 of the example: P at 2.25 of 4.5 m = xMsag, xw = 1.228 m; 4 points a span.
TEST(CliProcess, TableRowsOfEachSpanInOrderOfX) {
    const Outcome o = RunCli({"table", kExamples + "three-span.bmf", "--points", "4"});
    EXPECT_TRUE(o.out.starts_with("span,x,M,V,w\n")) << o.err;
    std::map<int, std::vector<std::array<double, 4>>> spans;
    int span = 0;
    std::array<double, 4> x{};
    for (const char* p = o.out.c_str(); (p = std::strchr(p, '\n')) != nullptr;) {
        if (std::sscanf(++p, "%d,%lf,%lf,%lf,%lf", &span, &x[0], &x[1], &x[2], &x[3]) == 5)
            spans[span].push_back(x);
    }
    ASSERT_EQ(spans.size(), 3u);
    for (const auto& [k, rows] : spans) {
        EXPECT_GE(rows.size(), 4u) << k;
        for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_LT(rows[i - 1][0], rows[i][0]) << k;
    }
    const auto& two = spans[2];  // 0, xw, 1.5, 2.25, 3, 4.5
    ASSERT_EQ(two.size(), 6u);
    EXPECT_NEAR(two[1][0], 1.2281769342260203, 1e-12);
    EXPECT_NEAR(two[1][3], -0.01035312348759383, 1e-12) << "the largest deflection at xw";
    EXPECT_EQ(two[3][0], 2.25);
    EXPECT_NEAR(two[3][2], -14.591397849462362, 1e-9) << "the shear right of the load";
}

// A textbook case: three spans of 6 m, g = 10 and a patterned q = 8 kN/m
// under 1.3G + 1.5Q (1.0G where it helps): M_B and R_A from the coefficients
// 0.1 and 0.4 of g, 7/60, −1/60 and 0.45 of q, and the rows of a point load.
const char* const kThreeSpansGQ = R"({"format": "cbeam-beam", "version": 2, "EIo": 1,
      "spans": [{"L": 6, "EI": 1}, {"L": 6, "EI": 1}, {"L": 6, "EI": 1}],
      "supports": [{"kind": "pinned"}, {"kind": "pinned"}, {"kind": "pinned"}, {"kind": "pinned"}],
      "cases": [{"name": "G", "kind": "permanent", "loads": [{"span": 1, "kind": "uniform", "q": 10},
        {"span": 2, "kind": "uniform", "q": 10}, {"span": 3, "kind": "uniform", "q": 10}]},
       {"name": "Q", "kind": "variable", "loads": [{"span": 1, "kind": "uniform", "q": 8},
        {"span": 2, "kind": "uniform", "q": 8}, {"span": 3, "kind": "uniform", "q": 8}]}]})";

TEST(CliProcess, EnvelopeOfTheCodesCombination) {
    TempDir dir;
    WriteAll(dir.File("b.json"), kThreeSpansGQ);
    double m[2] = {}, r[2] = {};
    const Outcome o = RunCli({"envelope", dir.File("b.json"), "--combination", "基本组合"});
    ASSERT_EQ(std::sscanf(o.out.c_str() + o.out.find("\n基本组合,2,0,") + 1, "基本组合,2,0,%lf,%lf",
                          &m[0], &m[1]),
              2)
        << o.err << o.out;
    EXPECT_NEAR(m[0], 1.3 * 36 + 1.5 * 7.0 / 60 * 288, 1e-12 * 100);
    EXPECT_NEAR(m[1], 36 - 1.5 * 288.0 / 60, 1e-12 * 100);
    const Outcome rs = RunCli({"envelope", dir.File("b.json"), "--reactions"});
    ASSERT_EQ(std::sscanf(rs.out.c_str() + rs.out.find("\n基本组合,1,") + 1, "基本组合,1,%lf,%lf",
                          &r[0], &r[1]),
              2);
    EXPECT_NEAR(r[0], 1.3 * 24 + 1.5 * 0.45 * 48, 1e-12 * 100);
    EXPECT_EQ(std::count(rs.out.begin(), rs.out.end(), '\n'), 1 + 3 * 4) << "three combinations";
    // The design values: M_B with the spans loaded; R_A keeps 24 − 1.5·2.4 under
    // Q on span 2 alone, no uplift.
    const Outcome js = RunCli({"envelope", dir.File("b.json"), "--json"});
    EXPECT_NE(js.out.find(R"("span":2,"Mmax":{"value":97.2)"), std::string::npos) << js.out;
    EXPECT_NE(js.out.find(R"(,"x":0,"loaded":{"G":"1-3","Q":"1-2"}})"), std::string::npos);
    const std::size_t a = js.out.find(R"("node":1,)"), b = js.out.find(R"("node":2,)");
    EXPECT_LT(js.out.find(R"("loaded":{"G":"","Q":"2"}},"uplift":false})", a), b);
    EXPECT_EQ(RunCli({"envelope", dir.File("b.json"), "--json", dir.File("e.csv")}).exit, 1);
    EXPECT_EQ(RunCli({"envelope", kExamples + "three-span.bmf"}).err,
              "这个连续梁没有可变荷载工况，也没有给出荷载组合（用法见 cbeam-cli --help）\n");
}

// The influence line of M_B over three equal spans, (4/15)·Lξ(1 − ξ²) in
// span 1, and two wheels whose worst places mirror each other.
TEST(CliProcess, InfluenceAndMovingLoads) {
    TempDir dir;
    WriteAll(dir.File("b.json"), kThreeSpansGQ);
    const Outcome line = RunCli(
        {"influence", dir.File("b.json"), "--quantity", "M", "--at", "2:0", "--points", "5"});
    EXPECT_NE(line.out.find("\n1,1.5,0.375"), std::string::npos) << line.err << line.out;
    const Outcome js =
        RunCli({"influence", dir.File("b.json"), "--quantity", "R", "--node", "1", "--json"});
    EXPECT_NE(js.out.find(R"("max":{"value":1,"span":1,"x":0,"position":0})"), std::string::npos)
        << js.out;
    const Outcome m = RunCli({"moving", dir.File("b.json"), "--quantity", "M", "--at", "1:2.4",
                              "--axles", "100,100", "--spacing", "1.5"});
    double at[4] = {};
    ASSERT_EQ(std::sscanf(m.out.c_str(),
                          "direction,extreme,value,position\nrightward,max,%*f,%lf\nrightward,min,%"
                          "*f,%lf\nleftward,max,%*f,%lf\nleftward,min,%*f,%lf",
                          &at[0], &at[1], &at[2], &at[3]),
              4)
        << m.out << m.err;
    EXPECT_NEAR(at[0] - at[2], 1.5, 1e-9);
    EXPECT_NEAR(at[1] - at[3], 1.5, 1e-9);
    // The file's train is the one given on the command line, its lane too.
    std::string trains = kThreeSpansGQ;
    trains.insert(
        trains.rfind('}'),
        R"(, "moving": [{"name": "吊车", "axles": [100, 100], "spacing": [1.5], "lane": 2}])");
    WriteAll(dir.File("t.json"), trains);
    const Outcome named = RunCli(
        {"moving", dir.File("t.json"), "--quantity", "M", "--at", "1:2.4", "--train", "吊车"});
    const Outcome given = RunCli({"moving", dir.File("t.json"), "--quantity", "M", "--at", "1:2.4",
                                  "--axles", "100,100", "--spacing", "1.5", "--lane", "2"});
    EXPECT_EQ(named.out, given.out) << named.err;
    EXPECT_NE(named.out, m.out);
    for (const auto& bad : {std::vector<std::string>{"--axles", "100,x"},
                            {"--axles", "100,100"},
                            {"--axles", "100", "--spacing", "1"},
                            {"--axles", "100", "--lane", "-5"},
                            {"--train", "吊车"},
                            {"--train", "吊车", "--axles", "100"}}) {
        std::vector<std::string> args{"moving", dir.File("b.json"), "--quantity", "M", "--at",
                                      "1:2.4"};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(RunCli(args).exit, 1) << bad[1];
    }
    EXPECT_EQ(RunCli({"influence", dir.File("b.json"), "--quantity", "M", "--at", "4:0"}).exit, 1);
}

}  // namespace
}  // namespace cbeam
