#include "files/bmf.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <random>

#include "common/beam_helpers.h"
#include "model/compute.h"

namespace cbeam {
namespace {

using testing::MakeBeam;
using testing::ReadAll;
using testing::SameBits;
using testing::SameState;
using testing::TempDir;
using testing::WriteAll;

static_assert(std::endian::native == std::endian::little,
              "the expected records are laid out by memcpy");

// One record as the format describes it, laid out field by field.
struct Rec {
    std::int16_t n = 0;
    double m = 0, ei = 0, eio = 0, l = 0, a = 0, q = 0;
    std::int16_t kind = 0;
    double theta = 0;
    std::int16_t flag0 = 0, flagN = 0;
};

std::string Bytes(const std::vector<Rec>& recs) {
    std::string out;
    for (const Rec& r : recs) {
        char b[64] = {};
        std::memcpy(b + 0, &r.n, 2);
        std::memcpy(b + 2, &r.m, 8);
        std::memcpy(b + 10, &r.ei, 8);
        std::memcpy(b + 18, &r.eio, 8);
        std::memcpy(b + 26, &r.l, 8);
        std::memcpy(b + 34, &r.a, 8);
        std::memcpy(b + 42, &r.q, 8);
        std::memcpy(b + 50, &r.kind, 2);
        std::memcpy(b + 52, &r.theta, 8);
        std::memcpy(b + 60, &r.flag0, 2);
        std::memcpy(b + 62, &r.flagN, 2);
        out.append(b, 64);
    }
    return out;
}

// A typed beam of two spans as the start dialog leaves it, to see that a
// refused file changes nothing.
BeamState Untouched() {
    BeamState s = MakeBeam({{3, 2, 1, 10, 1}, {4, 1, 2, 20, 0.25}}, kTrue, kFalse, 7);
    s.InputMode = 1;
    s.CurSpan = 2;
    s.HatchSpacing = 80;
    s.M(2) = 12.5;
    s.Theta(3) = -0.01;
    return s;
}

// Three records of a valid two-span beam, to be damaged by the refusal cases.
std::vector<Rec> ValidRecords() {
    std::vector<Rec> r(3);
    for (Rec& x : r) {
        x.n = 2;
        x.eio = 2.5;
        x.flag0 = -1;
    }
    r[0] = {2, 1.5, 1, 2.5, 6, 0.5, 10, 2, 0.001, -1, 0};
    r[1] = {2, -3, 2, 2.5, 4, 1, 5, 1, -0.002, -1, 0};
    r[2].m = 0.25;
    return r;
}

TEST(BeamFileBytes, OneSpanIsTwoRecordsWithEveryFieldAtItsOffset) {
    BeamState s = MakeBeam({{6.5, 1.25, 1, 12, 0.75}}, kTrue, kFalse, 3.5);
    s.M(1) = 11.25;
    s.M(2) = -4.5;
    s.Theta(1) = 0.125;
    s.Theta(2) = -0.0625;
    const std::string expected = Bytes({{1, 11.25, 1.25, 3.5, 6.5, 0.75, 12, 1, 0.125, -1, 0},
                                        {1, -4.5, 0, 3.5, 0, 0, 0, 0, -0.0625, -1, 0}});
    const std::string got = EncodeBeamFile(s);
    ASSERT_EQ(got.size(), 128u);
    EXPECT_EQ(got, expected);

    TempDir dir;
    ASSERT_TRUE(SaveBeamFile(dir.File("one.bmf"), s));
    EXPECT_EQ(ReadAll(dir.File("one.bmf")), expected);
}

TEST(BeamFileBytes, LoadKindsAndTheMagnitudeOfASpanWithoutLoad) {
    // Point load, no load (with a stray magnitude in memory), uniform load.
    BeamState s = MakeBeam({{5, 1, 2, 30, 0.4}, {5, 1, 0, 99, 0}, {5, 1, 1, 8, 1}}, kFalse, kTrue);
    const std::string bytes = EncodeBeamFile(s);
    ASSERT_EQ(bytes.size(), 4u * 64);
    auto kindAt = [&](int k) {
        std::int16_t v;
        std::memcpy(&v, bytes.data() + (k - 1) * 64 + 50, 2);
        return v;
    };
    auto qAt = [&](int k) {
        double v;
        std::memcpy(&v, bytes.data() + (k - 1) * 64 + 42, 8);
        return v;
    };
    EXPECT_EQ(kindAt(1), 2);
    EXPECT_EQ(kindAt(2), 0);
    EXPECT_EQ(kindAt(3), 1);
    EXPECT_EQ(qAt(2), 0.0);

    // Reading ignores the magnitude of a span without load, and of an unknown kind.
    std::vector<Rec> r = {{3, 0, 1, 1, 5, 0.4, 30, 2, 0, 0, -1},
                          {3, 0, 1, 1, 5, 0.7, 77, 0, 0, 0, -1},
                          {3, 0, 1, 1, 5, 0.2, 55, 9, 0, 0, -1},
                          {3, 0, 0, 1, 0, 0, 0, 0, 0, 0, -1}};
    BeamState loaded;
    ASSERT_TRUE(DecodeBeamFile(Bytes(r), loaded));
    EXPECT_EQ(loaded.LoadType(1), 2);
    EXPECT_EQ(loaded.Q(1), 30);
    EXPECT_EQ(loaded.LoadType(2), 0);
    EXPECT_EQ(loaded.Q(2), 0);
    EXPECT_EQ(loaded.A(2), 0.7);
    EXPECT_EQ(loaded.LoadType(3), 0);
    EXPECT_EQ(loaded.Q(3), 0);
}

TEST(BeamFileBytes, FlagsRepeatedFieldsAndTheOptionalLastRecord) {
    // EIo and the flags differ per record: the values of record N count.
    std::vector<Rec> r = {{2, 1, 1, 9, 4, 0, 0, 0, 0.5, 0, 0},
                          {2, 2, 3, 4.5, 6, 0, 0, 0, 0.75, -1, 0},
                          {2, 3, 0, 8, 0, 0, 0, 0, 0.9, 5, 5}};
    BeamState s;
    ASSERT_TRUE(DecodeBeamFile(Bytes(r), s));
    EXPECT_EQ(s.EIo, 4.5);
    EXPECT_EQ(s.Flag0, -1);
    EXPECT_EQ(s.FlagN, 0);
    EXPECT_EQ(s.M(3), 3);
    EXPECT_EQ(s.Theta(2), 0.75);
    EXPECT_EQ(s.Theta(3), 0);  // not read from the last record
    EXPECT_EQ(s.InputMode, 2);
    // Every array sized as the loader sizes them.
    EXPECT_EQ(s.LineStiff.Count(), 2);
    EXPECT_EQ(s.FemL.Count(), 2);
    EXPECT_EQ(s.FemR.Count(), 2);
    EXPECT_EQ(s.K.Order(), 3);
    EXPECT_EQ(s.NodeLoad.Count(), 3);

    // Without the last record (also with a partial one) the beam still loads.
    for (std::size_t extra : {0u, 10u, 63u}) {
        std::string bytes = Bytes(r).substr(0, 128 + extra);
        BeamState t;
        ASSERT_TRUE(DecodeBeamFile(bytes, t)) << extra;
        EXPECT_EQ(t.M.Count(), 3);
        EXPECT_EQ(t.M(3), 0);
        EXPECT_EQ(t.L(2), 6);
    }

    // A longer file is read only up to its own records.
    std::string longer = Bytes(r) + std::string(640, '\xff');
    TempDir dir;
    WriteAll(dir.File("long.bmf"), longer);
    BeamState t;
    ASSERT_TRUE(LoadBeamFile(dir.File("long.bmf"), t));
    EXPECT_EQ(t.N, 2);
    EXPECT_EQ(t.M(3), 3);
}

TEST(BeamFileRoundTrip, RandomBeamsComeBackBitForBit) {
    std::mt19937_64 rng(20261206);
    std::uniform_real_distribution<double> pos(1e-3, 1e4);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_real_distribution<double> any(-1e6, 1e6);
    TempDir dir;
    const std::string path = dir.File("beam.bmf");
    for (int trial = 0; trial < 200; ++trial) {
        const int n = trial == 0 ? kMaxSpans : 1 + static_cast<int>(rng() % 40);
        BeamState s;
        s.SizeAll(n);
        s.EIo = (rng() % 2 ? 1 : -1) * pos(rng);
        s.Flag0 = static_cast<std::int16_t>(rng() % 3 == 0 ? 0 : -1);
        s.FlagN = static_cast<std::int16_t>(rng());
        for (int k = 1; k <= n; ++k) {
            s.L(k) = pos(rng);
            s.EI(k) = k % 7 == 3 ? 0.0 : any(rng);
            s.LoadType(k) = static_cast<std::int16_t>(rng() % 3);
            s.A(k) = k % 5 == 0 ? 1.0 : unit(rng);
            s.Q(k) = s.LoadType(k) != 0 ? pos(rng) : 0.0;
        }
        for (int k = 1; k <= n + 1; ++k) {
            s.M(k) = any(rng);
            s.Theta(k) = any(rng);
        }
        BeamState t = Untouched();
        // Most trials in memory; every tenth through a real file.
        if (trial % 10 == 0) {
            ASSERT_TRUE(SaveBeamFile(path, s));
            ASSERT_EQ(ReadAll(path).size(), static_cast<std::size_t>(n + 1) * 64);
            ASSERT_TRUE(LoadBeamFile(path, t));
        } else {
            ASSERT_TRUE(DecodeBeamFile(EncodeBeamFile(s), t));
        }
        s.Theta(n + 1) = 0;  // the last node's rotation is not read back
        s.InputMode = 2;
        t.CurSpan = 0;
        t.HatchSpacing = 0;
        ASSERT_TRUE(SameState(s, t)) << "trial " << trial;
    }
}

TEST(BeamFileSave, ReplacesTheWholeFileAndKeepsItWhenTheSaveFails) {
    TempDir dir;
    const std::string path = dir.File("b.bmf");
    BeamState big = MakeBeam(std::vector<testing::SpanInput>(9), kTrue, kTrue);
    ASSERT_TRUE(SaveBeamFile(path, big));
    ::chmod(path.c_str(), 0640);
    BeamState small = MakeBeam({{2, 1, 0, 0, 0}}, kTrue, kTrue);
    ASSERT_TRUE(SaveBeamFile(path, small));
    EXPECT_EQ(ReadAll(path).size(), 128u) << "no stale tail of the longer beam";
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file keeps its rights";

    // A beam that could not be read back is not written; the old file stays.
    BeamState bad = small;
    bad.L(1) = std::nan("");
    const FileResult r = SaveBeamFile(path, bad);
    EXPECT_FALSE(r);
    EXPECT_NE(r.reason.find("长度"), std::string::npos) << r.reason;
    EXPECT_EQ(ReadAll(path), EncodeBeamFile(small));

    // Failures of the file system are reported, and leave no temporary file.
    EXPECT_FALSE(SaveBeamFile(dir.File("missing/x.bmf"), small));
    EXPECT_FALSE(SaveBeamFile(dir.Path(), small));
    EXPECT_FALSE(SaveBeamFile("", small));
    EXPECT_FALSE(SaveBeamFile(dir.File("never.bmf"), BeamState{}));
    std::size_t entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1u);

    // Through a symbolic link the target is replaced and the link stays.
    const std::string link = dir.File("link.bmf");
    std::filesystem::create_symlink(path, link);
    ASSERT_TRUE(SaveBeamFile(link, big));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadAll(path).size(), 10u * 64);
}

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

struct Refusal {
    const char* name;
    std::function<std::string()> bytes;
    const char* reason;  // a part of the expected reason
};

std::string Damaged(const std::function<void(std::vector<Rec>&)>& damage) {
    std::vector<Rec> r = ValidRecords();
    damage(r);
    return Bytes(r);
}

TEST(BeamFileLoad, RefusesADamagedFileAndLeavesTheStateAsItWas) {
    const std::vector<Refusal> cases = {
        {"empty", [] { return std::string(); }, "空"},
        {"no whole first record", [] { return Bytes(ValidRecords()).substr(0, 63); }, "记录"},
        {"count 0", [] { return Damaged([](auto& r) { r[0].n = 0; }); }, "跨数0"},
        {"count negative", [] { return Damaged([](auto& r) { r[0].n = -5; }); }, "跨数-5"},
        {"count 32767", [] { return Damaged([](auto& r) { r[0].n = 32767; }); }, "32766"},
        {"shorter than N records", [] { return Bytes(ValidRecords()).substr(0, 127); }, "不完整"},
        {"count larger than the file", [] { return Damaged([](auto& r) { r[0].n = 4; }); },
         "不完整"},
        {"moment NaN", [] { return Damaged([](auto& r) { r[1].m = nan; }); }, "结点2的弯矩"},
        {"last moment infinite", [] { return Damaged([](auto& r) { r[2].m = -inf; }); },
         "结点3的弯矩"},
        {"rotation NaN", [] { return Damaged([](auto& r) { r[0].theta = nan; }); }, "转角"},
        {"EI infinite", [] { return Damaged([](auto& r) { r[1].ei = inf; }); }, "第2跨的抗弯刚度"},
        {"EIo NaN", [] { return Damaged([](auto& r) { r[1].eio = nan; }); }, "EIo"},
        {"length NaN", [] { return Damaged([](auto& r) { r[0].l = nan; }); }, "第1跨的长度"},
        {"length 0", [] { return Damaged([](auto& r) { r[1].l = 0; }); }, "第2跨的长度不大于零"},
        {"length negative", [] { return Damaged([](auto& r) { r[0].l = -2; }); }, "不大于零"},
        {"EIo 0", [] { return Damaged([](auto& r) { r[1].eio = 0; }); }, "1e-6"},
        {"EIo tiny negative", [] { return Damaged([](auto& r) { r[1].eio = -9.9e-7; }); }, "1e-6"},
        {"position above 1, point load",
         [] { return Damaged([](auto& r) { r[0].a = 1.0000001; }); }, "第1跨的荷载位置"},
        {"position below 0, uniform load", [] { return Damaged([](auto& r) { r[1].a = -0.1; }); },
         "0到1"},
        {"position NaN without load",
         [] {
             return Damaged([](auto& r) {
                 r[1].kind = 0;
                 r[1].a = nan;
             });
         },
         "荷载位置"},
        {"magnitude negative", [] { return Damaged([](auto& r) { r[0].q = -1; }); }, "负数"},
        {"magnitude NaN", [] { return Damaged([](auto& r) { r[1].q = nan; }); }, "荷载大小"},
    };
    ASSERT_TRUE(DecodeBeamFile(Bytes(ValidRecords()), *std::make_unique<BeamState>()));
    for (const Refusal& c : cases) {
        BeamState s = Untouched();
        const FileResult r = DecodeBeamFile(c.bytes(), s);
        EXPECT_FALSE(r) << c.name;
        EXPECT_NE(r.reason.find(c.reason), std::string::npos) << c.name << ": " << r.reason;
        EXPECT_TRUE(SameState(s, Untouched())) << c.name;
    }

    // Through the file system: a file that cannot be opened, a folder.
    TempDir dir;
    for (const std::string& path : {dir.File("absent.bmf"), dir.Path()}) {
        BeamState s = Untouched();
        const FileResult r = LoadBeamFile(path, s);
        EXPECT_FALSE(r) << path;
        EXPECT_FALSE(r.reason.empty());
        EXPECT_TRUE(SameState(s, Untouched())) << path;
    }
}

TEST(BeamFileLoad, AcceptsWhatTheAnalysisRefusesLaterOrIgnores) {
    BeamState s;
    // EI = 0 (an undefined span), a position outside 0..1 and a negative
    // magnitude on a span without load.
    ASSERT_TRUE(DecodeBeamFile(Damaged([](auto& r) {
                                   r[0].ei = 0;
                                   r[1].kind = 0;
                                   r[1].a = 7;
                                   r[1].q = -3;
                               }),
                               s));
    EXPECT_EQ(FirstUndefinedSpan(s), 1);
    EXPECT_EQ(s.A(2), 7);
    EXPECT_EQ(s.Q(2), 0);
}

// Thousands of truncated, bit-flipped and random files: each one either
// loads a beam that meets the invariants or is refused with the state kept.
TEST(BeamFileLoad, MutatedFilesLoadSoundBeamsOrAreRefused) {
    std::mt19937 rng(77);
    std::vector<std::string> seeds;
    for (int n : {1, 3, 8}) {
        std::vector<testing::SpanInput> spans;
        for (int k = 0; k < n; ++k) {
            spans.push_back({1.0 + k, 0.5 + k, k % 3, 2.0 * k, (k % 4) / 4.0});
        }
        BeamState s = MakeBeam(spans, kTrue, n % 2 ? kTrue : kFalse);
        ASSERT_EQ(Analyse(s), SolveStatus::Solved);
        seeds.push_back(EncodeBeamFile(s));
    }
    int loaded = 0;
    int refused = 0;
    for (int i = 0; i < 6000; ++i) {
        std::string bytes = seeds[static_cast<std::size_t>(rng() % seeds.size())];
        switch (i % 4) {
            case 0:  // truncated
                bytes.resize(rng() % (bytes.size() + 1));
                break;
            case 1:  // a few bits flipped
                for (unsigned f = 1 + rng() % 6; f > 0; --f) {
                    bytes[rng() % bytes.size()] ^= static_cast<char>(1u << (rng() % 8));
                }
                break;
            case 2:  // random bytes after a plausible count
                bytes.assign(rng() % 700, '\0');
                for (char& c : bytes) c = static_cast<char>(rng());
                if (bytes.size() >= 2) {
                    bytes[0] = static_cast<char>(rng() % 12);
                    bytes[1] = 0;
                }
                break;
            default:  // whole fields overwritten with random bits
                for (unsigned f = 1 + rng() % 3; f > 0; --f) {
                    const std::size_t at = rng() % bytes.size();
                    for (std::size_t j = at; j < std::min(bytes.size(), at + 8); ++j) {
                        bytes[j] = static_cast<char>(rng());
                    }
                }
                break;
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
        ASSERT_TRUE(n >= 1 && n <= kMaxSpans);
        ASSERT_EQ(s.InputMode, 2);
        ASSERT_TRUE(s.LineStiff.Count() == n && s.FemL.Count() == n && s.FemR.Count() == n &&
                    s.K.Order() == n + 1 && s.NodeLoad.Count() == n + 1);
        ASSERT_GE(std::fabs(s.EIo), 1e-6);
        for (int k = 1; k <= n; ++k) {
            ASSERT_TRUE(s.L(k) > 0 && std::isfinite(s.L(k)) && std::isfinite(s.EI(k)));
            ASSERT_TRUE(s.LoadType(k) >= 0 && s.LoadType(k) <= 2);
            if (s.LoadType(k) == 0) {
                ASSERT_EQ(s.Q(k), 0);
            } else {
                ASSERT_TRUE(s.A(k) >= 0 && s.A(k) <= 1 && s.Q(k) >= 0 && std::isfinite(s.Q(k)));
            }
        }
        // Whatever loads can be analysed without a crash and saved again.
        if (FirstUndefinedSpan(s) == 0) (void)Analyse(s);
        ASSERT_EQ(CheckBeamData(s), "");
    }
    EXPECT_GT(loaded, 500);
    EXPECT_GT(refused, 500);
}

}  // namespace
}  // namespace cbeam
