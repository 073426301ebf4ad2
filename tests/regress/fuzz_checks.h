#pragma once

// Property checks shared by the libFuzzer targets (fuzz/) and the test that
// replays their corpora. Each takes raw input bytes and returns "" when every
// property holds, else the first one broken.
#include <string>
#include <string_view>

namespace cbeam::fuzz {

// A typed text reads as a strtod of its longest leading decimal number.
std::string CheckNumberText(std::string_view bytes);
// Byte 0 % 16 picks the mode, bytes 1..8 are a double. Below 13: one of the
// program's patterns, output checked for shape and value; 13 and 14: the rest
// is any pattern (no crash, bounded length); 15: "text\0pattern" for FormatText.
std::string CheckFormat(std::string_view bytes);
// A beam data file or a JSON beam decodes to a beam that meets every invariant
// and survives a round trip (through the other format too; a beam file also an
// analysis, a report and loading from disk), or is refused with a reason and
// leaves the state alone.
std::string CheckBeamFile(std::string_view bytes);
std::string CheckBeamJson(std::string_view bytes);

}  // namespace cbeam::fuzz
