#pragma once

#include <string>
#include <string_view>

namespace cbeam {

// What a typed text reads as: the longest leading decimal number (blanks
// skipped, optional sign, digits, one ".", optional exponent), 0 when none.
struct NumberReading {
    double value = 0.0;
    bool overflow = false;  // the number is too large for a double ("1e999")
};

NumberReading ReadNumber(std::string_view text);

// Shorthand for ReadNumber(text).value.
double Val(std::string_view text);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double v);

// A blank (value >= 0) or "-", then the shortest decimal form with at most
// 15 significant digits and no zero before the point: 0.5 -> " .5".
std::string SignNumberText(double v);

// The print style of the report: SignNumberText followed by one blank.
std::string PrintNumber(double v);

}  // namespace cbeam
