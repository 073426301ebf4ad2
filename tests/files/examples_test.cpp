#include <gtest/gtest.h>

#include <cstdlib>

#include "common/beam_helpers.h"
#include "files/bmf.h"
#include "model/compute.h"

namespace cbeam {
namespace {

using namespace testing;

// The example beams shipped in examples/ and their node moments. Run once
// with CBEAM_WRITE_EXAMPLES=1 to write them with the program's own writer.
TEST(Examples, ShippedBeamFilesHoldTheExampleBeamsAndTheirResults) {
    const struct {
        const char* file;
        BeamState beam;
        std::vector<double> moments;
    } examples[] = {
        {"three-span.bmf",
         MakeBeam({{6, 1, 1, 20, 1}, {4.5, 1.5, 2, 50, 0.5}, {5, 1, 1, 15, 0.6}}, kFalse, kFalse,
                  2),
         {0, 70.173387, 23.334677, 0}},
        // The textbook end moment q L^2 / 8 of a propped cantilever.
        {"fixed-pinned.bmf", MakeBeam({{8, 1, 1, 10, 1}}, kTrue, kFalse, 1), {10.0 * 8 * 8 / 8, 0}},
    };
    for (auto e : examples) {
        ASSERT_EQ(Analyse(e.beam), SolveStatus::Solved) << e.file;
        const std::string path = std::string(CBEAM_SOURCE_DIR "/examples/") + e.file;
        if (std::getenv("CBEAM_WRITE_EXAMPLES")) {
            ASSERT_TRUE(SaveBeamFile(path, e.beam)) << path;
        }

        BeamState s;
        ASSERT_TRUE(LoadBeamFile(path, s)) << path;
        const BeamState& b = e.beam;
        EXPECT_TRUE(s.N == b.N && s.EIo == b.EIo && s.Flag0 == b.Flag0 && s.FlagN == b.FlagN &&
                    SameBits(s.L, b.L) && SameBits(s.EI, b.EI) && s.LoadType == b.LoadType &&
                    SameBits(s.Q, b.Q) && SameBits(s.A, b.A))
            << e.file;
        const BeamState stored = s;
        ASSERT_EQ(Analyse(s), SolveStatus::Solved) << e.file;
        for (int k = 1; k <= b.N + 1; ++k) {
            EXPECT_NEAR(stored.M(k), e.moments[k - 1], 1e-6) << e.file << " node " << k;
            EXPECT_NEAR(s.M(k), e.moments[k - 1], 1e-6) << e.file << " node " << k;
        }
    }
}

}  // namespace
}  // namespace cbeam
