#pragma once

// Property checks shared by the libFuzzer targets (fuzz/) and the regression
// test that replays their corpora (tests/regress/). Each takes raw input
// bytes and returns an empty string when every property holds, otherwise a
// description of the first one broken.

#include <string>
#include <string_view>

namespace cbeam::fuzz {

// The bytes are a typed text; its reading must match a plain strtod of the
// longest leading decimal number.
std::string CheckNumberText(std::string_view bytes);

// Byte 0 picks the mode, bytes 1..8 are a double:
//  - mode % 16 < 13: one of the program's own patterns, whose output is
//    checked for shape, length and value;
//  - mode % 16 == 13..14: the rest of the bytes is a pattern of any kind;
//    only no crash and a bounded length are required;
//  - mode % 16 == 15: the rest is "text\0pattern" for FormatText.
std::string CheckFormat(std::string_view bytes);

// The bytes are a beam data file: decoding either yields a beam that meets
// every invariant of the state (and survives a save/load round trip and an
// analysis), or refuses and leaves the state alone; loading the same bytes
// from disk gives the same outcome.
std::string CheckBeamFile(std::string_view bytes);

}  // namespace cbeam::fuzz
