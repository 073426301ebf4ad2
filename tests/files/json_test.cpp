#include <gtest/gtest.h>

#include <string>

#include "common/beam_helpers.h"
#include "files/beam_json.h"

namespace cbeam {
namespace {

using namespace testing;

// A beam in the writer's own layout: two spans, both load kinds, values that
// need every digit to come back.
const std::string kCanonical = R"({
  "format": "cbeam-beam",
  "version": 1,
  "EIo": 2.5,
  "ends": {"left": "fixed", "right": "pinned"},
  "spans": [
    {"L": 6.0, "EI": 1.0, "load": {"kind": "uniform", "q": 10.0, "a": 1.0}},
    {"L": 0.1, "EI": 1.3333333333333333, "load": {"kind": "point", "q": 7.25, "a": 0.3}},
    {"L": 4.0, "EI": 0.0, "load": {"kind": "none"}}
  ]
}
)";

TEST(BeamJson, ReadsEveryFieldAndWritesTheSameTextThroughABeamFile) {
    BeamState s;
    ASSERT_TRUE(DecodeBeamJson(kCanonical, s));
    EXPECT_EQ(s.N, 3);
    EXPECT_EQ(s.EIo, 2.5);
    EXPECT_EQ(s.Flag0, kTrue);
    EXPECT_EQ(s.FlagN, kFalse);
    EXPECT_EQ(s.EI(2), 4.0 / 3);
    EXPECT_EQ(s.Kind(2), LoadKind::Point);
    EXPECT_EQ(s.Q(2), 7.25);
    EXPECT_EQ(s.A(2), 0.3);
    EXPECT_EQ(s.Kind(3), LoadKind::None);
    EXPECT_EQ(s.InputMode, 2);
    BeamState back;
    ASSERT_TRUE(DecodeBeamFile(EncodeBeamFile(s), back));
    EXPECT_EQ(EncodeBeamJson(back), kCanonical);
}

struct Refusal {
    const char* name;
    const char* from;  // a piece of the canonical text
    const char* to;    // its replacement
    const char* path;  // the JSON path the refusal must name
};

class JsonRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(JsonRefusal, NamesThePathAndLeavesTheBeam) {
    std::string text = kCanonical;
    const Refusal& r = GetParam();
    ASSERT_NE(text.find(r.from), std::string::npos);
    text.replace(text.find(r.from), std::string(r.from).size(), r.to);
    BeamState s = MakeBeam({{5, 1, 0, 0, 0}}, kFalse, kFalse);
    const BeamState before = s;
    const std::string reason = MessageText(DecodeBeamJson(text, s));
    EXPECT_EQ(reason.rfind(r.path, 0), 0u) << reason;
    EXPECT_GT(reason.size(), std::string(r.path).size()) << "a reason follows the path";
    EXPECT_TRUE(SameState(s, before));
}

const Refusal kRefusals[] = {
    {"NotJson", "\"spans\": [", "\"spans\" [", "第6行第11列"},
    {"UnknownFormat", "cbeam-beam", "cbeam-bean", "format"},
    {"UnknownVersion", "\"version\": 1", "\"version\": 2", "version"},
    {"MissingEIo", "\"EIo\": 2.5,", "", "EIo"},
    {"TinyEIo", "\"EIo\": 2.5", "\"EIo\": -1e-7", "EIo"},
    {"EndOfWrongKind", "\"right\": \"pinned\"", "\"right\": \"free\"", "ends.right"},
    {"LengthAsText", "\"L\": 6.0", "\"L\": \"6\"", "spans[0].L"},
    {"ZeroLength", "\"L\": 4.0", "\"L\": 0", "spans[2].L"},
    {"OverflowingNumber", "\"L\": 4.0", "\"L\": 1e999", "有超出范围"},
    {"MissingRigidity", "\"EI\": 1.0, ", "", "spans[0].EI"},
    {"UnknownKind", "\"kind\": \"none\"", "\"kind\": \"moment\"", "spans[2].load.kind"},
    {"NegativeLoad", "\"q\": 7.25", "\"q\": -7.25", "spans[1].load.q"},
    {"PositionAboveOne", "\"a\": 0.3", "\"a\": 1.5", "spans[1].load.a"},
    {"MissingPosition", ", \"a\": 1.0", "", "spans[0].load.a"},
    {"NoSpans", "\"spans\": [", "\"spans\": [], \"x\": [", "spans"},
};
INSTANTIATE_TEST_SUITE_P(, JsonRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BeamJson, TakesUpToTheLargestSpanCount) {
    const auto beam = [](int spans) {
        std::string text = R"({"format": "cbeam-beam", "version": 1, "EIo": 1,
            "ends": {"left": "fixed", "right": "fixed"}, "spans": [)";
        for (int k = 0; k < spans; ++k) {
            text += k ? "," : "";
            text += R"({"L": 1, "EI": 1, "load": {"kind": "none"}})";
        }
        return text + "]}";
    };
    BeamState s;
    EXPECT_EQ(MessageText(DecodeBeamJson(beam(kMaxSpans + 1), s)), "spans：跨数32767不在1到32766之间");
    EXPECT_TRUE(DecodeBeamJson(beam(kMaxSpans), s));
    EXPECT_EQ(s.N, kMaxSpans);
}

}  // namespace
}  // namespace cbeam
