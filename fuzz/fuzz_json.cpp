// libFuzzer entry for the JSON beam reader; the properties are in
// tests/regress/json_checks.cpp, where the regression test replays the corpus.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "regress/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string why =
        cbeam::fuzz::CheckBeamJson(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!why.empty()) {
        std::fprintf(stderr, "property broken: %s\n", why.c_str());
        std::abort();
    }
    return 0;
}
