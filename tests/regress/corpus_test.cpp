// Replays every stored fuzzing input (the seeds and any input that once
// broke something) through the same property checks the fuzzers run.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "regress/fuzz_checks.h"

namespace {

namespace fs = std::filesystem;

struct Target {
    const char* name;
    std::string (*check)(std::string_view);
};

void PrintTo(const Target& t, std::ostream* out) {
    *out << t.name;
}

const Target kTargets[] = {
    {"number", cbeam::fuzz::CheckNumberText},
    {"format", cbeam::fuzz::CheckFormat},
    {"bmf", cbeam::fuzz::CheckBeamFile},
};

std::vector<fs::path> Inputs(const char* target) {
    std::vector<fs::path> files;
    const fs::path dir = fs::path(CBEAM_SOURCE_DIR) / "fuzz" / "corpus" / target;
    if (fs::is_directory(dir)) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

class Corpus : public ::testing::TestWithParam<Target> {};

TEST_P(Corpus, EveryStoredInputKeepsItsProperties) {
    const Target& t = GetParam();
    const std::vector<fs::path> files = Inputs(t.name);
    ASSERT_GE(files.size(), 5u) << "the corpus of " << t.name << " is missing";
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        EXPECT_EQ(t.check(bytes), "") << file.filename();
    }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Corpus, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
