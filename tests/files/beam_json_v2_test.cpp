// JSON version 2: the canonical text, refusals by path and rule, the .bmf save.
#include <gtest/gtest.h>

#include "common/beam_helpers.h"
#include "files/beam_json.h"
#include "files/bmf.h"

namespace cbeam {
namespace {

// Every support and load kind, values that need every digit.
const std::string kGeneral = R"({
  "format": "cbeam-beam",
  "version": 2,
  "EIo": 1.5,
  "spans": [
    {"L": 6, "EI": 1},
    {"L": 7.2, "EI": 1.3333333333333333},
    {"L": 1.8, "EI": 0.5}
  ],
  "supports": [
    {"kind": "fixed"},
    {"kind": "pinned"},
    {"kind": "spring", "k": 50000, "kr": 120},
    {"kind": "free"}
  ],
  "cases": [
    {"name": "G", "kind": "permanent", "loads": [
      {"span": 1, "kind": "uniform", "q": 25, "x1": 0, "x2": 6},
      {"span": 2, "kind": "linear", "q1": 0, "q2": -12, "x1": 0.1, "x2": 3.6},
      {"span": 2, "kind": "point", "P": 80, "x": 3.6},
      {"span": 3, "kind": "moment", "M": 20, "x": 1.8},
      {"node": 2, "kind": "settlement", "d": 10}
    ]},
    {"name": "Q \"live\"", "kind": "variable", "pattern": false, "psi_q": 0.5, "loads": []}
  ],
  "combinations": [
    {"name": "基本组合", "factors": {"G": [1.3, 1], "Q \"live\"": [1.5, 0]}},
    {"name": "标准组合", "factors": {"G": [1, 1]}}
  ],
  "moving": [
    {"name": "吊车", "axles": [300, 280.5], "spacing": [4.4], "lane": 0},
    {"name": "车道", "axles": [100], "spacing": [], "lane": 10.5}
  ]
}
)";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(BeamJsonV2, CanonicalTextComesBackByteForByte) {
    LoadedBeam b;
    ASSERT_EQ(MessageText(DecodeBeamJson(kGeneral, b)), "");
    ASSERT_TRUE(b.general);
    EXPECT_EQ(testing::JsonText(b.beam), kGeneral);
    const Load& s = b.beam.cases[0].loads[4];
    EXPECT_EQ(std::tuple(s.kind, s.node, s.q1), std::tuple(Load::Kind::Settlement, 2, 10.0));
    EXPECT_EQ(b.beam.supports[2].kr, 120);
    // Left out, the positions are the whole span and kr is 0; -0 is 0.
    std::string loose = Replaced(kGeneral, ", \"x1\": 0, \"x2\": 6", "");
    loose = Replaced(loose, ", \"kr\": 120", "");
    loose = Replaced(loose, "\"M\": 20", "\"M\": -0.0");
    ASSERT_EQ(MessageText(DecodeBeamJson(loose, b)), "");
    const std::string once = testing::JsonText(b.beam);
    EXPECT_EQ(once, Replaced(Replaced(kGeneral, ", \"kr\": 120", ""), "\"M\": 20", "\"M\": 0"));
    ASSERT_TRUE(DecodeBeamJson(once, b));
    EXPECT_EQ(testing::JsonText(b.beam), once);
}

// Without combinations of its own, a beam with a variable case takes the
// code's three, with each variable case's own ψq.
TEST(BeamJsonV2, DefaultCombinationsFollowTheCases) {
    LoadedBeam b;
    ASSERT_TRUE(DecodeBeamJson(kGeneral, b));
    EXPECT_EQ(CombinationsOf(b.beam), b.beam.combinations);
    b.beam.combinations.clear();
    const std::vector<Combination> d = CombinationsOf(b.beam);
    const std::string q = "Q \"live\"";
    EXPECT_EQ(d, (std::vector<Combination>{{"基本组合", {{"G", 1.3, 1}, {q, 1.5, 0}}},
                                           {"标准组合", {{"G", 1, 1}, {q, 1, 0}}},
                                           {"准永久组合", {{"G", 1, 1}, {q, 0.5, 0}}}}));
    b.beam.cases.pop_back();
    EXPECT_TRUE(CombinationsOf(b.beam).empty()) << "nothing to arrange without live load";
}

struct Refusal {
    const char *name, *from, *to, *message;
};
class JsonV2Refusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(JsonV2Refusal, NamesThePathAndTheRule) {
    const Refusal& r = GetParam();
    LoadedBeam b;
    b.beam.EIo = 7;
    EXPECT_EQ(MessageText(DecodeBeamJson(Replaced(kGeneral, r.from, r.to), b)), r.message);
    EXPECT_EQ(b.beam.EIo, 7) << "a refused text changes nothing";
}

const Refusal kRefusals[] = {
    {"RigidityTooSmall", "\"EI\": 0.5", "\"EI\": 1e-7",
     "spans[2].EI：第3跨的抗弯刚度数值超出范围！"},
    {"FreeInside", "\"kind\": \"pinned\"", "\"kind\": \"free\"",
     "supports[1].kind：结点2在梁的中间，不能是自由端"},
    {"SpringZero", "\"k\": 50000", "\"k\": 0",
     "supports[2].k：结点3的弹簧刚度应大于零（转动弹簧可为零）"},
    {"CaseNameEmpty", "\"name\": \"G\"", "\"name\": \"\"", "cases[0].name：荷载工况名称为空"},
    {"CaseNameRepeated", "\"name\": \"Q \\\"live\\\"\"", "\"name\": \"G\"",
     "cases[1]：荷载工况名称重复"},
    {"LoadKind", "\"kind\": \"moment\"", "\"kind\": \"torque\"",
     "cases[0].loads[3].kind：应为 \"uniform\"、\"linear\"、\"point\"、\"moment\" 或 "
     "\"settlement\""},
    {"NoSuchSpan", "{\"span\": 3,", "{\"span\": 4,", "cases[0].loads[3].span：没有第4跨"},
    {"NoSuchNode", "\"node\": 2", "\"node\": 0", "cases[0].loads[4].node：没有第0个结点"},
    {"SettlementOnSpring", "\"node\": 2", "\"node\": 3",
     "cases[0].loads[4].node：支座沉降只能加在铰支座或固定支座上，结点3不是"},
    {"PointBeyondSpan", "\"x\": 3.6", "\"x\": 7.3",
     "cases[0].loads[2].x：荷载位置不在第2跨的0到跨长之间，或起点在终点之后"},
    {"EndBeforeStart", "\"x1\": 0.1, \"x2\": 3.6", "\"x1\": 3.6, \"x2\": 0.1",
     "cases[0].loads[1].x2：荷载位置不在第2跨的0到跨长之间，或起点在终点之后"},
    {"LoadTooLarge", "\"P\": 80", "\"P\": -2e9", "cases[0].loads[2].P：数值超出范围！"},
    {"PsiAboveOne", "\"psi_q\": 0.5", "\"psi_q\": 1.5", "cases[1].psi_q：准永久值系数应在0到1之间"},
    {"PatternNotBoolean", "false", "0", "cases[1].pattern：类型不对"},
    {"FactorOfNoCase", "{\"G\": [1, 1]}", "{\"X\": [1, 1]}",
     "combinations[1].factors.X：没有这个荷载工况，或在同一组合中出现了不止一次"},
    {"FactorNegative", "[1, 1]", "[1, -1]",
     "combinations[1].factors.G：分项系数应为两个0到100之间的数值 [γ, γf]"},
    {"OneFactor", "[1, 1]", "[1]",
     "combinations[1].factors.G：分项系数应为两个0到100之间的数值 [γ, γf]"},
    {"CombinationRepeated", "标准组合", "基本组合", "combinations[1].name：荷载组合名称重复"},
    {"TrainRepeated", "\"name\": \"车道\"", "\"name\": \"吊车\"",
     "moving[1].name：移动荷载名称重复"},
    {"NoAxles", "[300, 280.5]", "[]", "moving[0].axles：轴荷载应为1到100个数值（kN）"},
    {"AxleText", "[100]", "[\"100\"]", "moving[1].axles[0]：类型不对"},
    {"SpacingPerAxle", "[4.4]", "[4.4, 1]",
     "moving[0].spacing：轴距应比轴数少一个，且不小于零（m）"},
    {"SpacingNegative", "[4.4]", "[-4.4]",
     "moving[0].spacing[0]：轴距应比轴数少一个，且不小于零（m）"},
    {"LaneNegative", "\"lane\": 10.5", "\"lane\": -1",
     "moving[1].lane：车道均布荷载应不小于零（kN/m）"},
};
INSTANTIATE_TEST_SUITE_P(, JsonV2Refusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// What a .bmf cannot hold is refused by name, not dropped; what it can
// hold comes back from it as the same beam.
TEST(BeamJsonV2, BmfSaveRefusesWhatTheFileCannotHold) {
    const std::string design = R"({"format": "cbeam-beam", "version": 2, "EIo": 2,
      "spans": [{"L": 6, "EI": 1}, {"L": 4, "EI": 2}],
      "supports": [{"kind": "fixed"}, {"kind": "pinned"}, {"kind": "pinned"}],
      "cases": [{"name": "G", "kind": "permanent", "loads": [
        {"span": 1, "kind": "uniform", "q": 10, "x1": 0, "x2": 4.5},
        {"span": 2, "kind": "point", "P": 7, "x": 1}]}]})";
    const struct {
        const char *name, *from, *to, *message;
    } rows[] = {
        {"Fits", "", "", ""},
        {"TwoLoads", "\"x\": 1}",
         "\"x\": 1}, {\"span\": 2, \"kind\": \"point\", \"P\": 1, \"x\": 2}",
         "第2跨有多个荷载，.bmf 文件只能保存每跨一个荷载，请保存为 JSON 文件"},
        {"Patch", "\"x1\": 0,", "\"x1\": 1,",
         "第1跨的荷载 .bmf 文件不能保存（只能是从左端起的均布荷载或集中荷载，且不为负），请保存为 "
         "JSON 文件"},
        {"Spring", "{\"kind\": \"pinned\"}]", "{\"kind\": \"spring\", \"k\": 9}]",
         "结点3的支座 .bmf 文件不能保存（中间支座只能是铰支座，两端只能是铰支或固定），请保存为 "
         "JSON 文件"},
        {"Settlement", "\"x\": 1}", "\"x\": 1}, {\"node\": 3, \"kind\": \"settlement\", \"d\": 2}",
         "有支座沉降，.bmf 文件不能保存，请保存为 JSON 文件"},
        {"TwoCases", "]}]}", "]}, {\"name\": \"Q\", \"kind\": \"variable\", \"loads\": []}]}",
         ".bmf 文件只能保存一个永久荷载工况，请保存为 JSON 文件"},
        {"Moving", "]}]}", "]}], \"moving\": [{\"name\": \"T\", \"axles\": [1]}]}",
         "有移动荷载，.bmf 文件不能保存，请保存为 JSON 文件"},
    };
    testing::TempDir dir;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        LoadedBeam b;
        ASSERT_TRUE(DecodeBeamJson(*r.from ? Replaced(design, r.from, r.to) : design, b));
        EXPECT_EQ(MessageText(SaveBeam(dir.File("b.bmf"), b.beam)), r.message);
    }
    LoadedBeam back;
    ASSERT_TRUE(LoadBeam(dir.File("b.bmf"), back));
    ASSERT_FALSE(back.general);
    EXPECT_EQ(std::tuple(back.state.N, back.state.A(1), back.state.Q(2), back.state.A(2),
                         back.state.Flag0),
              std::tuple(2, 0.75, 7.0, 0.25, kTrue));
}

}  // namespace
}  // namespace cbeam
