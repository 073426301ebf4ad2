// libFuzzer entry, built once per target with CBEAM_FUZZ_CHECK naming its
// property check in tests/regress/fuzz_checks.h, where a test replays the corpora.
#include <cstdio>
#include <cstdlib>

#include "regress/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string why =
        cbeam::fuzz::CBEAM_FUZZ_CHECK({reinterpret_cast<const char*>(data), size});
    if (!why.empty()) {
        std::fprintf(stderr, "property broken: %s\n", why.c_str());
        std::abort();
    }
    return 0;
}
