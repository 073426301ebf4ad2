// cbeam-cli on version 2 beams: solve --json, table, convert, report.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/commands.h"
#include "common/beam_helpers.h"

namespace cbeam {
namespace {

using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

struct Outcome {
    int exit;
    std::string out, err;
};

Outcome Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int exit = cli::Run(args, out, err);
    return {exit, out.str(), err.str()};
}

// A simple span L = 4 m, EI = 10^6 kN·m², P = 8 kN at 1 m (case G) and a
// cantilever span of 2 m with q = 3 kN/m (case Q).
const std::string kBeam = R"({"format": "cbeam-beam", "version": 2, "EIo": 1,
  "spans": [{"L": 4, "EI": 1}, {"L": 2, "EI": 1}],
  "supports": [{"kind": "pinned"}, {"kind": "pinned"}, {"kind": "free"}],
  "cases": [{"name": "G", "kind": "permanent", "loads": [{"span": 1, "kind": "point", "P": 8, "x": 1}]},
            {"name": "Q", "kind": "variable", "loads": [{"span": 2, "kind": "uniform", "q": 3}]}]})";

TEST(GeneralCli, SolveJsonGivesEveryCaseInTodaysUnitsAndSigns) {
    TempDir dir;
    WriteAll(dir.File("b.json"), kBeam);
    const Outcome o = Cli({"solve", "--json", dir.File("b.json")});
    ASSERT_EQ(o.exit, 0) << o.err;
    // Keys in order; exact zeros (a pinned end, the free tip) print as 0, never -0.
    EXPECT_EQ(o.out.rfind(R"({"N":2,"cases":[{"name":"G","M":[0,0,0],"theta":[)", 0), 0u) << o.out;
    const auto j = nlohmann::json::parse(o.out);
    const auto& g = j["cases"][0];
    const auto& cq = j["cases"][1];
    const double ei = 1e6;
    const struct {
        const char* name;
        double got, expected;
    } rows[] = {
        {"G R_A", g["R"][0], 6},
        {"G R_B", g["R"][1], 2},
        {"G Msag", g["Msag"][0], -6},
        // The cantilever span turns with B: theta_B·2 m more at the tip
        // (rad clockwise, mm down: B turns anticlockwise, the tip goes up).
        {"G theta_B", g["theta"][1], -8.0 * 1 * 3 * (4 + 1) / (6 * 4 * ei)},
        {"G tip", g["wnode"][2], -1000 * 2 * 8.0 * 1 * 3 * (4 + 1) / (6 * 4 * ei)},
        // Q: the cantilever's moment qa²/2 hogs at B; the simple span takes it.
        {"Q M_B", cq["M"][1], 6},
        {"Q R_A", cq["R"][0], -1.5},
        {"Q tip", cq["wnode"][2], 1000 * (3.0 * 16 / (8 * ei) + 2 * 6.0 * 4 / (3 * ei))},
    };
    for (const auto& r : rows)
        EXPECT_NEAR(r.got, r.expected, 1e-12 * (1 + std::fabs(r.expected))) << r.name;
}

TEST(GeneralCli, TableHasLoadPointsEndValuesAndChosenCases) {
    TempDir dir;
    WriteAll(dir.File("b.json"), kBeam);
    const Outcome all = Cli({"table", dir.File("b.json"), "--points", "2"});
    ASSERT_EQ(all.exit, 0) << all.err;
    // Span 1 of G: x = 0 (V the support's), the load at 1 (V just right of
    // it, also xMsag), xw (the handbook's largest deflection), L (V just left
    // of B); the cantilever at 0 and L.
    const double xw = 4 - std::sqrt(5.0), w = 8 * std::pow(15, 1.5) / (9 * std::sqrt(3.0) * 4e3);
    const std::vector<std::vector<double>> expected = {
        {1, 0, 0, 6, 0},  {1, 1, -6, -2, 0.006}, {1, xw, -2 * std::sqrt(5.0), -2, w},
        {1, 4, 0, -2, 0}, {2, 0, 0, 0, 0},       {2, 2, 0, 0, -0.01}};
    std::istringstream in(all.out);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "case,span,x,M,V,w");
    for (const std::vector<double>& want : expected) {
        std::getline(in, line);
        std::istringstream cells(line.substr(2));
        std::string cell;
        for (const double v : want) {
            std::getline(cells, cell, ',');
            EXPECT_NEAR(std::stod(cell), v, 1e-12) << line;
        }
    }
    const Outcome q = Cli({"table", dir.File("b.json"), "--case", "Q", "--points", "3"});
    EXPECT_EQ(q.out.find("G,"), std::string::npos);
    EXPECT_NE(q.out.find("\nQ,2,0,6,6,"), std::string::npos) << q.out;
    const Outcome none = Cli({"table", dir.File("b.json"), "--case", "W"});
    EXPECT_EQ(std::tuple(none.exit, none.err),
              std::tuple(1, "W：没有这个荷载工况（用法见 cbeam-cli --help）\n"));
}

TEST(GeneralCli, ConvertBothWaysAndRefusalsOfWhatABmfCannotHold) {
    TempDir dir;
    const std::string v1 = CBEAM_SOURCE_DIR "/examples/three-span.bmf";
    ASSERT_EQ(Cli({"convert", "--version", "2", v1, dir.File("v2.json")}).exit, 0);
    // v2 -> .bmf gives the very file of the v1 beam.
    ASSERT_EQ(Cli({"convert", dir.File("v2.json"), dir.File("back.bmf")}).exit, 0);
    ASSERT_EQ(Cli({"convert", v1, dir.File("direct.bmf")}).exit, 0);
    EXPECT_EQ(ReadAll(dir.File("back.bmf")), ReadAll(dir.File("direct.bmf")));
    EXPECT_EQ(Cli({"solve", dir.File("v2.json")}).out, "G\n" + Cli({"solve", v1}).out);

    WriteAll(dir.File("b.json"), kBeam);
    const Outcome bmf = Cli({"convert", dir.File("b.json"), dir.File("b.bmf")});
    EXPECT_EQ(
        std::tuple(bmf.exit, bmf.err),
        std::tuple(2, "保存数据文件失败！.bmf 文件只能保存一个永久荷载工况，请保存为 JSON 文件\n"));
    const Outcome report = Cli({"report", dir.File("b.json"), "-"});
    EXPECT_EQ(std::tuple(report.exit, report.out, report.err),
              std::tuple(2, "",
                         "这个命令只能处理 .bmf 文件能保存的连续梁（可用 solve 或 table）：.bmf "
                         "文件只能保存一个永久荷载工况\n"));
    std::string mechanism = kBeam;
    mechanism.replace(mechanism.find("pinned"), 6, "free");
    WriteAll(dir.File("m.json"), mechanism);
    const Outcome moving = Cli({"solve", dir.File("m.json")});
    EXPECT_EQ(std::tuple(moving.exit, moving.err), std::tuple(3, "结构几何可变，无法计算\n"));
}

}  // namespace
}  // namespace cbeam
