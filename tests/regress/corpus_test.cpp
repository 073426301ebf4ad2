// Replays every stored fuzzing input (the seeds and any input that once broke
// something) through the property checks the fuzzers run.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "common/beam_helpers.h"
#include "regress/fuzz_checks.h"

namespace cbeam::fuzz {
namespace {

struct Target {
    const char* name;
    std::string (*check)(std::string_view);
};
class Corpus : public ::testing::TestWithParam<Target> {};

TEST_P(Corpus, EveryStoredInputKeepsItsProperties) {
    const auto dir = std::filesystem::path(CBEAM_SOURCE_DIR "/fuzz/corpus") / GetParam().name;
    std::set<std::filesystem::path> files;
    if (is_directory(dir)) files.insert(std::filesystem::directory_iterator(dir), {});
    ASSERT_GE(files.size(), 5u) << "the corpus is missing";
    for (const auto& file : files)
        EXPECT_EQ(GetParam().check(testing::ReadAll(file.string())), "") << file.filename();
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Corpus,
                         ::testing::Values(Target{"number", CheckNumberText},
                                           Target{"format", CheckFormat},
                                           Target{"bmf", CheckBeamFile},
                                           Target{"json", CheckBeamJson}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cbeam::fuzz
