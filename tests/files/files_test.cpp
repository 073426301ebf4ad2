// The beam data file, the JSON beam and the text report: exact bytes, round
// trips, refusals that leave the state alone, and whole-or-nothing saves.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <functional>
#include <string>

#include "common/beam_helpers.h"
#include "files/beam_json.h"
#include "files/bmf.h"
#include "files/gbk.h"
#include "files/report.h"
#include "model/driver.h"

namespace cbeam {
namespace {

using namespace testing;

// One record laid out field by field as the format describes it, so that
// the expected bytes never come from the writer under test.
#pragma pack(push, 1)
struct Rec {
    std::int16_t n = 0;
    double m = 0, ei = 0, eio = 0, l = 0, a = 0, q = 0;
    std::int16_t kind = 0;
    double theta = 0;
    std::int16_t flag0 = 0, flagN = 0;
};
#pragma pack(pop)
static_assert(sizeof(Rec) == 64 && offsetof(Rec, kind) == 50 && offsetof(Rec, flagN) == 62);
static_assert(std::endian::native == std::endian::little, "records are copied as they lie");

std::string Bytes(const std::vector<Rec>& r) {
    return {reinterpret_cast<const char*>(r.data()), r.size() * sizeof(Rec)};
}

// A typed beam with results, to see that a refused file changes nothing.
BeamState Untouched() {
    BeamState s = MakeBeam({{3, 2, 1, 10, 1}, {4, 1, 2, 20, 0.25}}, kTrue, kFalse, 7);
    s.InputMode = 1;
    (void)RunAnalysis(s);
    return s;
}

// Point load, no load (a stray magnitude in memory), uniform load. The
// results are written only while they are those of the beam.
TEST(BeamFileSave, EveryFieldAtItsOffsetAndResultsOnlyWhenCurrent) {
    BeamState s = MakeBeam({{6.5, 1.25, 2, 30, 0.4}, {5, 0.5, 0, 99, 0.3}, {4, 2, 1, 8, 1}}, kTrue,
                           kFalse, 3.5);
    const double m[] = {11.25, -4.5, 2, 0.5}, theta[] = {0.125, -0.0625, 3, -7};
    for (int k = 1; k <= 4; ++k) std::tie(s.M(k), s.Theta(k)) = std::tie(m[k - 1], theta[k - 1]);
    std::vector<Rec> want = {{3, 11.25, 1.25, 3.5, 6.5, 0.4, 30, 2, 0.125, -1, 0},
                             {3, -4.5, 0.5, 3.5, 5, 0.3, 0, 0, -0.0625, -1, 0},
                             {3, 2, 2, 3.5, 4, 1, 8, 1, 3, -1, 0},
                             {3, 0.5, 0, 3.5, 0, 0, 0, 0, -7, -1, 0}};
    EXPECT_EQ(BmfBytes(s), Bytes(want));
    TempDir dir;
    for (const Status& results :
         {Status{}, Status{Code::UndefinedSpan, 2}, Status{Code::NotAnalysed}}) {
        SCOPED_TRACE(MessageText(results));
        s.Results = results;
        ASSERT_TRUE(SaveBeamFile(dir.File("b.bmf"), s));
        for (Rec& rec : want) rec.m = results ? rec.m : 0, rec.theta = results ? rec.theta : 0;
        EXPECT_EQ(ReadAll(dir.File("b.bmf")), Bytes(want));
    }
}

TEST(BeamFileLoad, RecordNCountsAndFieldsWithoutMeaningAreIgnored) {
    // Kinds 2, 0 (stray magnitude, position outside 0..1), 0 (stray
    // magnitude); EIo and the flags of record N count; an undefined span loads.
    const std::vector<Rec> r = {{3, 1, 0, 9, 5, 0.4, 30, 2, 0.5, 0, 0},
                                {3, 2, 1, 7, 6, 7, -3, 0, 0.75, 0, 0},
                                {3, 3, 1, 4.5, 5, 0.2, 55, 0, 0.875, -1, 0},
                                {3, 4, 0, 8, 0, 0, 0, 0, 0.9, 5, 5}};
    TempDir dir;
    WriteAll(dir.File("long.bmf"), Bytes(r) + std::string(640, '\xff'));
    for (std::size_t size : {0u, 256u, 192u, 202u}) {  // 0: the longer file on disk
        SCOPED_TRACE(::testing::Message() << "bytes " << size);
        BeamState s;
        ASSERT_TRUE(size ? DecodeBeamFile(Bytes(r).substr(0, size), s)
                         : LoadBeamFile(dir.File("long.bmf"), s));
        EXPECT_EQ(std::tuple(s.EIo, s.Flag0, s.FlagN), std::tuple(4.5, -1, 0));
        EXPECT_EQ(std::tuple(s.LoadType(1), s.LoadType(2), s.LoadType(3)), std::tuple(2, 0, 0));
        EXPECT_EQ(std::tuple(s.Q(1), s.Q(2), s.Q(3), s.A(2), s.A(3)),
                  std::tuple(30.0, 0.0, 0.0, 0.0, 0.2));
        EXPECT_EQ(std::tuple(s.L(2), s.M(3), s.Theta(3), s.Theta(4)),
                  std::tuple(6.0, 3.0, 0.875, 0.0));
        EXPECT_EQ(s.M(4), size == 0 || size == 256 ? 4 : 0);
        EXPECT_EQ(s.Results.code, Code::NotAnalysed);
    }
    // The largest count still fits the node count.
    BeamState s;
    ASSERT_TRUE(DecodeBeamFile(Bytes(std::vector<Rec>(kMaxSpans, {kMaxSpans, 0, 1, 1, 1})), s));
    EXPECT_EQ(s.M.Count(), kMaxSpans + 1);
}

TEST(BeamFileSave, ReplacesTheFileWholeOrNotAtAll) {
    TempDir dir;
    const std::string path = dir.File("b.bmf");
    const BeamState big = MakeBeam(std::vector<SpanInput>(9), kTrue, kTrue);
    const BeamState small = MakeBeam({{2}}, kTrue, kTrue);
    ASSERT_TRUE(SaveBeamFile(path, big));
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    ASSERT_TRUE(SaveBeamFile(path, small));
    EXPECT_EQ(ReadAll(path).size(), 128u) << "no stale tail of the longer beam";
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
    BeamState nan = small;
    nan.L(1) = std::nan("");
    // clang-format off
    const struct { const char* name; std::string path; const BeamState& beam; Status status; } rows[] = {
        {"value that cannot come back", path, nan, Status{.code = Code::NotANumber, .span = 1, .field = Field::L}},
        {"no folder", dir.File("missing/x.bmf"), small, SystemFailure(ENOENT)},
        {"a folder", dir.Path(), small, SystemFailure(EISDIR)},
        {"no name", "", small, Status{Code::NoFileName}},
        {"no beam", dir.File("never.bmf"), BeamState{}, Status{Code::NoBeam}}};
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(SaveBeamFile(r.path, r.beam), r.status);
        EXPECT_EQ(ReadAll(path), BmfBytes(small));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "temp left";
    // Through a symbolic link the target is replaced and the link stays.
    std::filesystem::create_symlink(path, dir.File("link.bmf"));
    ASSERT_TRUE(SaveBeamFile(dir.File("link.bmf"), big));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.bmf")));
    EXPECT_EQ(ReadAll(path).size(), 10u * 64);
}

// The state stays as it was; the reason names the damage exactly.
TEST(BeamFileLoad, RefusesADamagedFile) {
    constexpr double nan = NAN, inf = INFINITY;
    // clang-format off
    const struct { const char* reason; std::function<void(std::vector<Rec>&)> damage;
                   std::size_t keep = std::string::npos; /* bytes kept */ const char* file = "f.bmf"; } rows[] = {
        {"文件或文件夹不存在", {}, std::string::npos, "absent.bmf"},
        {"文件是空的", {}, 0},
        {"文件不足一条记录", {}, 63},
        {"跨数0不在1到32766之间", [](auto& r) { r[0].n = 0; }},
        {"跨数32767不在1到32766之间", [](auto& r) { r[0].n = 32767; }},
        {"文件不完整：至少应有2条记录，只有1条", {}, 127},
        {"结点2的弯矩不是有效数值", [](auto& r) { r[1].m = nan; }},
        {"结点3的弯矩不是有效数值", [](auto& r) { r[2].m = -inf; }},
        {"结点1的转角不是有效数值", [](auto& r) { r[0].theta = nan; }},
        {"第2跨的抗弯刚度不是有效数值", [](auto& r) { r[1].ei = inf; }},
        {"基本抗弯刚度EIo不是有效数值", [](auto& r) { r[1].eio = nan; }},
        {"第1跨的长度不是有效数值", [](auto& r) { r[0].l = nan; }},
        {"第2跨的长度不大于零", [](auto& r) { r[1].l = 0; }},
        {"基本抗弯刚度EIo的绝对值小于1e-6", [](auto& r) { r[1].eio = -9.9e-7; }},
        {"第1跨的荷载位置不在0到1之间", [](auto& r) { r[0].a = 1.0000001; }},
        {"第2跨的荷载位置不在0到1之间", [](auto& r) { r[1].a = -0.1; }},
        {"第2跨的荷载位置不是有效数值", [](auto& r) { r[1] = {2, 0, 1, 2.5, 4, nan}; }},
        {"第1跨的荷载大小为负数", [](auto& r) { r[0].q = -1; }},
        {"第2跨的荷载大小不是有效数值", [](auto& r) { r[1].q = nan; }},
        {"第2条记录的荷载类型为9，应为0、1或2", [](auto& r) { r[1].kind = 9; }},
        {"第2条记录的左端约束为1，应为0或-1", [](auto& r) { r[1].flag0 = 1; }},
        {"第2条记录的右端约束为5，应为0或-1", [](auto& r) { r[1].flagN = 5; }},
        {"第2跨的抗弯刚度为负数", [](auto& r) { r[1].ei = -0.5; }},
        {"基本抗弯刚度EIo为负数", [](auto& r) { r[1].eio = -2.5; }},
        {"第1跨的长度数值超出范围！", [](auto& r) { r[0].l = 1.5e4; }},
        {"第1跨的抗弯刚度数值超出范围！", [](auto& r) { r[0].ei = 1e-7; }},
        {"第2跨的荷载大小数值超出范围！", [](auto& r) { r[1].q = 1e10; }}};
    // clang-format on
    TempDir dir;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.reason);
        std::vector<Rec> records = {{2, 1.5, 1, 2.5, 6, 0.5, 10, 2, 0.001, -1, 0},
                                    {2, -3, 2, 2.5, 4, 1, 5, 1, -0.002, -1, 0},
                                    {2, 0.25, 0, 2.5, 0, 0, 0, 0, 0, -1, 0}};
        if (r.damage) r.damage(records);
        WriteAll(dir.File("f.bmf"), Bytes(records).substr(0, r.keep));
        BeamState s = Untouched();
        EXPECT_EQ(MessageText(LoadBeamFile(dir.File(r.file), s)), r.reason);
        EXPECT_TRUE(SameState(s, Untouched()));
    }
}

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
    EXPECT_EQ(std::tuple(s.N, s.EIo, s.Flag0, s.FlagN, s.InputMode),
              std::tuple(3, 2.5, kTrue, kFalse, 2));
    EXPECT_EQ(std::tuple(s.EI(2), s.Q(2), s.A(2)), std::tuple(4.0 / 3, 7.25, 0.3));
    EXPECT_EQ(std::tuple(s.Kind(2), s.Kind(3)), std::tuple(LoadKind::Point, LoadKind::None));
    BeamState back;
    ASSERT_TRUE(DecodeBeamFile(BmfBytes(s), back));
    EXPECT_EQ(JsonText(back), kCanonical);
}

// A piece of the canonical text, its replacement, the JSON path the refusal must name.
struct Refusal {
    const char *name, *from, *to, *path;
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
    {"UnknownVersion", "\"version\": 1", "\"version\": 3", "version"},
    {"MissingEIo", "\"EIo\": 2.5,", "", "EIo"},
    {"TinyEIo", "\"EIo\": 2.5", "\"EIo\": -1e-7", "EIo"},
    {"EndOfWrongKind", "\"right\": \"pinned\"", "\"right\": \"free\"", "ends.right"},
    {"LengthAsText", "\"L\": 6.0", "\"L\": \"6\"", "spans[0].L"},
    {"ZeroLength", "\"L\": 4.0", "\"L\": 0", "spans[2].L"},
    {"OverflowingNumber", "\"L\": 4.0", "\"L\": 1e999", "spans[2].L"},
    {"LengthBeyondBounds", "\"L\": 4.0", "\"L\": 1e5", "spans[2].L"},
    {"NegativeRigidity", "\"EI\": 1.0,", "\"EI\": -1.0,", "spans[0].EI"},
    {"NegativeEIo", "\"EIo\": 2.5", "\"EIo\": -2.5", "EIo"},
    {"LoadBeyondBounds", "\"q\": 7.25", "\"q\": 2e9", "spans[1].load.q"},
    {"DuplicateKey", "\"q\": 7.25,", "\"q\": 7.25, \"q\": 1,", "spans[1].load.q"},
    {"TooDeep", "\"kind\": \"none\"",
     "\"x\": [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]", "spans[2].load.x"},
    {"MissingRigidity", "\"EI\": 1.0, ", "", "spans[0].EI"},
    {"UnknownKind", "\"kind\": \"none\"", "\"kind\": \"moment\"", "spans[2].load.kind"},
    {"NegativeLoad", "\"q\": 7.25", "\"q\": -0.5", "spans[1].load.q"},
    {"PositionAboveOne", "\"a\": 0.3", "\"a\": 1.5", "spans[1].load.a"},
    {"MissingPosition", ", \"a\": 1.0", "", "spans[0].load.a"},
    {"NoSpans", "\"spans\": [", "\"spans\": [], \"x\": [", "spans"},
};
INSTANTIATE_TEST_SUITE_P(, JsonRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BeamJson, TakesUpToTheLargestSpanCount) {
    const std::string span = R"({"L": 1, "EI": 1, "load": {"kind": "none"}})";
    std::string text = R"({"format": "cbeam-beam", "version": 1, "EIo": 1,
        "ends": {"left": "fixed", "right": "fixed"}, "spans": [)";
    for (int k = 0; k < kMaxSpans; ++k) text += span + ",";
    BeamState s;
    EXPECT_EQ(MessageText(DecodeBeamJson(text + span + "]}", s)),
              "spans：跨数32767不在1到32766之间");
    ASSERT_TRUE(DecodeBeamJson(text.substr(0, text.size() - 1) + "]}", s));
    EXPECT_EQ(s.N, kMaxSpans);
}

// Results that are not those of the beam are no report: no file, and the
// analysis' own reason. Point load, uniform load and no load (switched off,
// so keeping a magnitude and a that are no load: reported as 0 and 0.0, as a
// saved file has them); a pinned left end; results set by hand: a pinned
// end's 0.00, a negative rotation, an EI of .5, a moment rounded to three
// decimals.
TEST(Report, TheGoldenFileByteForByteOnlyForCurrentResults) {
    const std::string golden = ReadAll(CBEAM_TEST_DATA "/report_3span.txt");
    BeamState s = MakeBeam({{6, 1, 2, 30, 0.5}, {4.5, 0.5, 1, 12.5, 1}, {5, 1.25, 0, 7, 0.3}},
                           kFalse, kTrue, 2.1);
    const double m[] = {0, 45, 11.7957, -3.25}, theta[] = {-2.15, 1.54, 0.001234, 0};
    for (int k = 1; k <= 4; ++k) std::tie(s.M(k), s.Theta(k)) = std::tie(m[k - 1], theta[k - 1]);
    s.Results = {};
    std::string bytes;
    ASSERT_TRUE(EncodeReport(s, bytes));
    EXPECT_EQ(bytes, golden);
    EXPECT_EQ(EncodeReport(BeamState{}, bytes), Status{Code::NoBeam});
    TempDir dir;
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
