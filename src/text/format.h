#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cbeam {

// Numeric picture: "0" digit always written, "#" digit written when
// significant, "." decimal point (always written when present), "E+00" /
// "E-00" exponent. The value is rounded (halves away from zero, on its
// 15-digit decimal form) to the last decimal place of the pattern; integer
// digits beyond the pattern are always written; no grouping; a leading "-"
// for a value that is negative after rounding.
std::string Format(double value, std::string_view pattern);

// Text picture of "@" positions: the text right-aligned in as many
// characters as the pattern has "@"; a longer text is returned unchanged.
std::string FormatText(std::string_view text, std::string_view pattern);

// Characters, not bytes, of UTF-8 text: every byte that does not continue a
// sequence starts one.
std::size_t CountChars(std::string_view utf8);

}  // namespace cbeam
