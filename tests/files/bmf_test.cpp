#include "files/bmf.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <random>
#include <tuple>

#include "common/beam_helpers.h"
#include "model/compute.h"

namespace cbeam {
namespace {

using namespace testing;

const std::string kExamples = CBEAM_SOURCE_DIR "/examples/";

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
static_assert(sizeof(Rec) == 64 && offsetof(Rec, m) == 2 && offsetof(Rec, l) == 26 &&
              offsetof(Rec, kind) == 50 && offsetof(Rec, theta) == 52 &&
              offsetof(Rec, flagN) == 62);
static_assert(std::endian::native == std::endian::little, "records are copied as they lie");

std::string Bytes(const std::vector<Rec>& r) {
    return {reinterpret_cast<const char*>(r.data()), r.size() * sizeof(Rec)};
}

// A typed beam with results, to see that a refused file changes nothing.
BeamState Untouched() {
    BeamState s = MakeBeam({{3, 2, 1, 10, 1}, {4, 1, 2, 20, 0.25}}, kTrue, kFalse, 7);
    s.InputMode = 1;
    (void)Analyse(s);
    return s;
}

// A valid two-span beam (point load, uniform load) for the refusals to damage.
std::vector<Rec> ValidRecords() {
    return {{2, 1.5, 1, 2.5, 6, 0.5, 10, 2, 0.001, -1, 0},
            {2, -3, 2, 2.5, 4, 1, 5, 1, -0.002, -1, 0},
            {2, 0.25, 0, 2.5, 0, 0, 0, 0, 0, -1, 0}};
}

TEST(BeamFileBytes, WriterPutsEveryFieldAtItsOffset) {
    // Point load, no load (with a stray magnitude in memory), uniform load.
    BeamState s = MakeBeam({{6.5, 1.25, 2, 30, 0.4}, {5, 0.5, 0, 99, 0.3}, {4, 2, 1, 8, 1}}, kTrue,
                           kFalse, 3.5);
    const double m[] = {11.25, -4.5, 2, 0.5}, theta[] = {0.125, -0.0625, 3, -7};
    for (int k = 1; k <= 4; ++k) std::tie(s.M(k), s.Theta(k)) = std::tie(m[k - 1], theta[k - 1]);
    const std::string expected = Bytes({{3, 11.25, 1.25, 3.5, 6.5, 0.4, 30, 2, 0.125, -1, 0},
                                        {3, -4.5, 0.5, 3.5, 5, 0.3, 0, 0, -0.0625, -1, 0},
                                        {3, 2, 2, 3.5, 4, 1, 8, 1, 3, -1, 0},
                                        {3, 0.5, 0, 3.5, 0, 0, 0, 0, -7, -1, 0}});
    EXPECT_EQ(EncodeBeamFile(s), expected);
    TempDir dir;
    ASSERT_TRUE(SaveBeamFile(dir.File("b.bmf"), s));
    EXPECT_EQ(ReadAll(dir.File("b.bmf")), expected);
    EXPECT_EQ(EncodeBeamFile(MakeBeam({{}}, kFalse, kFalse)),
              Bytes({{1, 0, 1, 1, 1}, {1, 0, 0, 1}}))
        << "one span: two records, 128 bytes";
}

TEST(BeamFileBytes, ReaderTakesRecordNAndIgnoresFieldsWithoutMeaning) {
    // Kinds 2, 0 (stray magnitude, position outside 0..1), 9 (unknown: no
    // load); an undefined span (EI 0) is the analysis' business. EIo and the
    // flags differ per record: those of record N count.
    const std::vector<Rec> r = {{3, 1, 0, 9, 5, 0.4, 30, 2, 0.5, 0, 0},
                                {3, 2, 1, 7, 6, 7, -3, 0, 0.75, 0, 0},
                                {3, 3, 1, 4.5, 5, 0.2, 55, 9, 0.875, -1, 0},
                                {3, 4, 0, 8, 0, 0, 0, 0, 0.9, 5, 5}};
    // Also without the last record, whole or in part.
    for (std::size_t size : {256u, 192u, 202u, 255u}) {
        BeamState s;
        ASSERT_TRUE(DecodeBeamFile(Bytes(r).substr(0, size), s)) << size;
        EXPECT_TRUE(s.EIo == 4.5 && s.Flag0 == -1 && s.FlagN == 0) << size;
        EXPECT_TRUE(s.LoadType(1) == 2 && s.LoadType(2) == 0 && s.LoadType(3) == 0) << size;
        EXPECT_TRUE(s.Q(1) == 30 && s.Q(2) == 0 && s.Q(3) == 0 && s.A(2) == 0 && s.A(3) == 0.2)
            << size;
        EXPECT_TRUE(s.L(2) == 6 && s.M(3) == 3 && s.Theta(3) == 0.875) << size;
        EXPECT_EQ(s.Theta(4), 0) << "not read from the last record";
        EXPECT_EQ(s.M(4), size == 256 ? 4 : 0) << size;
        EXPECT_EQ(FirstUndefinedSpan(s), 1);
    }

    // A longer file is read only up to its own records.
    TempDir dir;
    WriteAll(dir.File("long.bmf"), Bytes(r) + std::string(640, '\xff'));
    BeamState t;
    ASSERT_TRUE(LoadBeamFile(dir.File("long.bmf"), t));
    EXPECT_TRUE(t.N == 3 && t.M(4) == 4);
}

TEST(BeamFileRoundTrip, RandomBeamsComeBackBitForBit) {
    std::mt19937_64 rng(20261206);
    std::uniform_real_distribution<double> pos(1e-3, 1e4), unit(0, 1), any(-1e6, 1e6);
    TempDir dir;
    const std::string path = dir.File("beam.bmf");
    for (int trial = 0; trial < 200; ++trial) {
        const int n = trial == 0 ? kMaxSpans : 1 + static_cast<int>(rng() % 40);
        BeamState s;
        s.SizeAll(n);
        s.EIo = (rng() % 2 ? 1 : -1) * pos(rng);
        s.Flag0 = static_cast<std::int16_t>(rng() % 3 == 0 ? 0 : -1);
        s.FlagN = static_cast<std::int16_t>(rng());
        for (int k = 1; k <= n + 1; ++k) {
            s.M(k) = any(rng);
            s.Theta(k) = any(rng);
            if (k > n) break;
            s.L(k) = pos(rng);
            s.EI(k) = k % 7 == 3 ? 0.0 : any(rng);
            s.LoadType(k) = static_cast<std::int16_t>(rng() % 3);
            s.A(k) = k % 5 == 0 ? 1.0 : unit(rng);
            s.Q(k) = s.LoadType(k) != 0 ? pos(rng) : 0.0;
        }
        BeamState t = Untouched();
        // Every tenth trial through a real file.
        ASSERT_TRUE(trial % 10 ? bool(DecodeBeamFile(EncodeBeamFile(s), t))
                               : SaveBeamFile(path, s) && LoadBeamFile(path, t));
        s.Theta(n + 1) = 0;  // the last node's rotation is not read back
        s.InputMode = 2;
        ASSERT_TRUE(SameState(s, t)) << "trial " << trial;
    }
}

TEST(BeamFileSave, ReplacesTheWholeFileAndKeepsItWhenTheSaveFails) {
    TempDir dir;
    const std::string path = dir.File("b.bmf");
    const BeamState big = MakeBeam(std::vector<SpanInput>(9), kTrue, kTrue);
    ASSERT_TRUE(SaveBeamFile(path, big));
    ::chmod(path.c_str(), 0640);
    const BeamState small = MakeBeam({{2, 1, 0, 0, 0}}, kTrue, kTrue);
    ASSERT_TRUE(SaveBeamFile(path, small));
    EXPECT_EQ(ReadAll(path).size(), 128u) << "no stale tail of the longer beam";
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file keeps its rights";

    // A beam that could not be read back is not written; the old file stays.
    BeamState bad = small;
    bad.L(1) = std::nan("");
    const FileResult r = SaveBeamFile(path, bad);
    EXPECT_TRUE(!r && r.reason.find("长度") != std::string::npos) << r.reason;
    EXPECT_EQ(ReadAll(path), EncodeBeamFile(small));

    // Failures of the file system are reported, and leave no temporary file.
    for (const std::string& p : {dir.File("missing/x.bmf"), dir.Path(), std::string()}) {
        EXPECT_FALSE(SaveBeamFile(p, small)) << p;
    }
    EXPECT_FALSE(SaveBeamFile(dir.File("never.bmf"), BeamState{}));
    using std::filesystem::directory_iterator;
    EXPECT_EQ(std::distance(directory_iterator(dir.Path()), directory_iterator()), 1);

    // Through a symbolic link the target is replaced and the link stays.
    const std::string link = dir.File("link.bmf");
    std::filesystem::create_symlink(path, link);
    ASSERT_TRUE(SaveBeamFile(link, big));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadAll(path).size(), 10u * 64);
}

TEST(BeamFileLoad, RefusesADamagedFileAndLeavesTheStateAsItWas) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr std::size_t kAll = std::string::npos;
    const struct {
        const char* name;
        const char* reason;  // a part of the expected reason
        std::function<void(std::vector<Rec>&)> damage;
        std::size_t keep = kAll;  // bytes of the file kept
        const char* file = "f.bmf";
    } cases[] = {
        {"cannot be opened", "不存在", {}, kAll, "absent.bmf"},
        {"empty", "空", {}, 0},
        {"no whole first record", "记录", {}, 63},
        {"count 0", "跨数0", [](auto& r) { r[0].n = 0; }},
        {"count 32767", "32766", [](auto& r) { r[0].n = 32767; }},
        {"shorter than N records", "不完整", {}, 127},
        {"moment NaN", "结点2的弯矩", [](auto& r) { r[1].m = nan; }},
        {"last moment infinite", "结点3的弯矩", [](auto& r) { r[2].m = -inf; }},
        {"rotation NaN", "转角", [](auto& r) { r[0].theta = nan; }},
        {"EI infinite", "第2跨的抗弯刚度", [](auto& r) { r[1].ei = inf; }},
        {"EIo NaN", "EIo", [](auto& r) { r[1].eio = nan; }},
        {"length NaN", "第1跨的长度", [](auto& r) { r[0].l = nan; }},
        {"length 0", "第2跨的长度不大于零", [](auto& r) { r[1].l = 0; }},
        {"EIo 0", "1e-6", [](auto& r) { r[1].eio = 0; }},
        {"EIo tiny negative", "1e-6", [](auto& r) { r[1].eio = -9.9e-7; }},
        {"position above 1, point load", "第1跨的荷载位置", [](auto& r) { r[0].a = 1.0000001; }},
        {"position below 0, uniform load", "0到1", [](auto& r) { r[1].a = -0.1; }},
        {"position NaN without load", "荷载位置", [](auto& r) { r[1] = {2, 0, 1, 2.5, 4, nan}; }},
        {"magnitude negative", "负数", [](auto& r) { r[0].q = -1; }},
        {"magnitude NaN", "荷载大小", [](auto& r) { r[1].q = nan; }},
    };
    BeamState valid;
    ASSERT_TRUE(DecodeBeamFile(Bytes(ValidRecords()), valid)) << "the damage alone is refused";
    TempDir dir;
    for (const auto& c : cases) {
        std::vector<Rec> records = ValidRecords();
        if (c.damage) c.damage(records);
        WriteAll(dir.File("f.bmf"), Bytes(records).substr(0, c.keep));
        BeamState s = Untouched();
        const FileResult r = LoadBeamFile(dir.File(c.file), s);
        EXPECT_TRUE(!r && r.reason.find(c.reason) != std::string::npos)
            << c.name << ": " << r.reason;
        EXPECT_TRUE(SameState(s, Untouched())) << c.name;
    }
}

// Thousands of truncated, bit-flipped and random files: each one either
// loads a beam that meets the invariants or is refused with the state kept.
TEST(BeamFileLoad, MutatedFilesLoadSoundBeamsOrAreRefused) {
    std::mt19937 rng(77);
    const std::string seeds[] = {Bytes(ValidRecords()), ReadAll(kExamples + "three-span.bmf"),
                                 ReadAll(kExamples + "fixed-pinned.bmf")};
    int loaded = 0;
    int refused = 0;
    for (int i = 0; i < 6000; ++i) {
        std::string bytes = seeds[rng() % std::size(seeds)];
        if (i % 3 == 0) {  // truncated
            bytes.resize(rng() % (bytes.size() + 1));
        } else if (i % 3 == 1) {  // a few bits flipped or bytes replaced
            for (unsigned f = 1 + rng() % 8; f > 0; --f) {
                char& c = bytes[rng() % bytes.size()];
                c = static_cast<char>(i % 2 ? c ^ (1 << rng() % 8) : rng());
            }
        } else {  // random bytes after a plausible count
            bytes.assign(2 + rng() % 700, static_cast<char>(rng() % 12));
            for (std::size_t j = 2; j < bytes.size(); ++j) bytes[j] = static_cast<char>(rng());
            bytes[1] = 0;
        }
        BeamState s = Untouched();
        const FileResult r = DecodeBeamFile(bytes, s);
        if (!r) {
            ++refused;
            ASSERT_FALSE(r.reason.empty());
            ASSERT_TRUE(SameState(s, Untouched())) << i;
            continue;
        }
        ++loaded;
        const int n = s.N;
        ASSERT_TRUE(n >= 1 && n <= kMaxSpans && s.InputMode == 2 && std::fabs(s.EIo) >= 1e-6 &&
                    s.LineStiff.Count() == n && s.FemL.Count() == n && s.FemR.Count() == n &&
                    s.K.Order() == n + 1 && s.NodeLoad.Count() == n + 1)
            << i;
        for (int k = 1; k <= n; ++k) {
            const int kind = s.LoadType(k);
            ASSERT_TRUE(s.L(k) > 0 && (kind == 1 || kind == 2 || (kind == 0 && s.Q(k) == 0))) << i;
        }
        // Whatever loads can be analysed without a crash and saved again.
        if (FirstUndefinedSpan(s) == 0) (void)Analyse(s);
        ASSERT_EQ(CheckBeamData(s), "") << i;
    }
    EXPECT_GT(loaded, 500);
    EXPECT_GT(refused, 500);
}

}  // namespace
}  // namespace cbeam
