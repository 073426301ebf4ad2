#include "files/bmf.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <functional>
#include <limits>
#include <random>

#include "common/beam_helpers.h"
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
    EXPECT_EQ(EncodeBeamFile(s), Bytes(want));
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
    // Kinds 2, 0 (stray magnitude, position outside 0..1), 9 (unknown: no
    // load); EIo and the flags of record N count; an undefined span loads.
    const std::vector<Rec> r = {{3, 1, 0, 9, 5, 0.4, 30, 2, 0.5, 0, 0},
                                {3, 2, 1, 7, 6, 7, -3, 0, 0.75, 0, 0},
                                {3, 3, 1, 4.5, 5, 0.2, 55, 9, 0.875, -1, 0},
                                {3, 4, 0, 8, 0, 0, 0, 0, 0.9, 5, 5}};
    TempDir dir;
    WriteAll(dir.File("long.bmf"), Bytes(r) + std::string(640, '\xff'));
    for (std::size_t size : {0u, 256u, 192u, 202u}) {  // 0: the longer file on disk
        SCOPED_TRACE(::testing::Message() << "bytes " << size);
        BeamState s;
        ASSERT_TRUE(size ? DecodeBeamFile(Bytes(r).substr(0, size), s)
                         : LoadBeamFile(dir.File("long.bmf"), s));
        EXPECT_TRUE(s.EIo == 4.5 && s.Flag0 == -1 && s.FlagN == 0 && s.InputMode == 2);
        EXPECT_TRUE(s.LoadType(1) == 2 && s.LoadType(2) == 0 && s.LoadType(3) == 0);
        EXPECT_TRUE(s.Q(1) == 30 && s.Q(2) == 0 && s.Q(3) == 0 && s.A(2) == 0 && s.A(3) == 0.2);
        EXPECT_TRUE(s.L(2) == 6 && s.M(3) == 3 && s.Theta(3) == 0.875 && s.Theta(4) == 0);
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
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(SaveBeamFile(path, small));
    EXPECT_EQ(ReadAll(path).size(), 128u) << "no stale tail of the longer beam";
    struct stat st {};
    EXPECT_TRUE(::stat(path.c_str(), &st) == 0 && (st.st_mode & 0777) == 0640);
    BeamState nan = small;
    nan.L(1) = std::nan("");
    const struct {
        const char* name;
        std::string path;
        const BeamState& beam;
        Status status;
    } rows[] = {
        // clang-format off
        {"value that cannot come back", path, nan, Status{.code = Code::NotANumber, .span = 1, .field = Field::L}},
        {"no folder", dir.File("missing/x.bmf"), small, SystemFailure(ENOENT)},
        {"a folder", dir.Path(), small, SystemFailure(EISDIR)},
        {"no name", "", small, Status{Code::NoFileName}},
        {"no beam", dir.File("never.bmf"), BeamState{}, Status{Code::NoBeam}},
        // clang-format on
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(SaveBeamFile(r.path, r.beam), r.status);
        EXPECT_EQ(ReadAll(path), EncodeBeamFile(small));
    }
    using std::filesystem::directory_iterator;
    EXPECT_EQ(std::distance(directory_iterator(dir.Path()), directory_iterator()), 1)
        << "temp left";
    // Through a symbolic link the target is replaced and the link stays.
    std::filesystem::create_symlink(path, dir.File("link.bmf"));
    ASSERT_TRUE(SaveBeamFile(dir.File("link.bmf"), big));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.bmf")));
    EXPECT_EQ(ReadAll(path).size(), 10u * 64);
}

// The state stays as it was; the reason names the damage exactly.
TEST(BeamFileLoad, RefusesADamagedFile) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* reason;
        std::function<void(std::vector<Rec>&)> damage;
        std::size_t keep = std::string::npos;  // bytes of the file kept
        const char* file = "f.bmf";
    } rows[] = {
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
    };
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

}  // namespace
}  // namespace cbeam
