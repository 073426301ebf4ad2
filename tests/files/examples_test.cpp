#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "common/beam_helpers.h"
#include "files/bmf.h"
#include "model/compute.h"

namespace cbeam {
namespace {

using testing::MakeBeam;

struct Example {
    const char* file;
    BeamState beam;
};

// The example beams shipped in examples/. Run once with
// CBEAM_WRITE_EXAMPLES=1 to write them with the program's own writer.
std::vector<Example> Examples() {
    return {
        {"three-span.bmf", MakeBeam({{6, 1, 1, 20, 1}, {4.5, 1.5, 2, 50, 0.5}, {5, 1, 1, 15, 0.6}},
                                    kFalse, kFalse, 2)},
        {"fixed-pinned.bmf", MakeBeam({{8, 1, 1, 10, 1}}, kTrue, kFalse, 1)},
    };
}

TEST(Examples, ShippedBeamFilesHoldTheExampleBeamsAndTheirResults) {
    const bool write = std::getenv("CBEAM_WRITE_EXAMPLES") != nullptr;
    for (Example& e : Examples()) {
        ASSERT_EQ(Analyse(e.beam), SolveStatus::Solved) << e.file;
        const std::string path = std::string(CBEAM_SOURCE_DIR "/examples/") + e.file;
        if (write) {
            ASSERT_TRUE(SaveBeamFile(path, e.beam)) << path;
        }

        BeamState loaded;
        ASSERT_TRUE(LoadBeamFile(path, loaded)) << path;
        const BeamState& b = e.beam;
        ASSERT_EQ(loaded.N, b.N);
        EXPECT_EQ(loaded.EIo, b.EIo);
        EXPECT_EQ(loaded.Flag0, b.Flag0);
        EXPECT_EQ(loaded.FlagN, b.FlagN);
        for (int k = 1; k <= b.N; ++k) {
            EXPECT_EQ(loaded.L(k), b.L(k));
            EXPECT_EQ(loaded.EI(k), b.EI(k));
            EXPECT_EQ(loaded.LoadType(k), b.LoadType(k));
            EXPECT_EQ(loaded.Q(k), b.Q(k));
            EXPECT_EQ(loaded.A(k), b.A(k));
        }
        for (int k = 1; k <= b.N + 1; ++k) {
            EXPECT_NEAR(loaded.M(k), b.M(k), 1e-9 * (1 + std::fabs(b.M(k)))) << e.file << k;
        }
    }
}

TEST(Examples, FixedPinnedSpanHasTheTextbookEndMoment) {
    BeamState b = Examples()[1].beam;
    ASSERT_EQ(Analyse(b), SolveStatus::Solved);
    EXPECT_NEAR(b.M(1), 10.0 * 8 * 8 / 8, 1e-9);  // q L^2 / 8, hogging
    EXPECT_EQ(b.M(2), 0);
}

}  // namespace
}  // namespace cbeam
