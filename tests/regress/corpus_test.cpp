// Replays every stored fuzzing input (the seeds and any input that once
// broke something) through the same property checks the fuzzers run.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/beam_helpers.h"
#include "regress/fuzz_checks.h"

namespace {

namespace fs = std::filesystem;

struct Target {
    const char* name;
    std::string (*check)(std::string_view);
};

class Corpus : public ::testing::TestWithParam<Target> {};

TEST_P(Corpus, EveryStoredInputKeepsItsProperties) {
    const Target& t = GetParam();
    const fs::path dir = fs::path(CBEAM_SOURCE_DIR) / "fuzz" / "corpus" / t.name;
    std::vector<fs::path> files;
    if (fs::is_directory(dir)) {
        for (const auto& entry : fs::directory_iterator(dir)) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 5u) << "the corpus of " << t.name << " is missing";
    for (const fs::path& file : files) {
        EXPECT_EQ(t.check(cbeam::testing::ReadAll(file.string())), "") << file.filename();
    }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Corpus,
                         ::testing::Values(Target{"number", cbeam::fuzz::CheckNumberText},
                                           Target{"format", cbeam::fuzz::CheckFormat},
                                           Target{"bmf", cbeam::fuzz::CheckBeamFile},
                                           Target{"json", cbeam::fuzz::CheckBeamJson}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
