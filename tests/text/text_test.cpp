#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "text/format.h"
#include "text/number.h"

namespace cbeam {
namespace {

// A table row "a|b|c" as its fields.
std::vector<std::string> Fields(std::string_view row) {
    std::vector<std::string> out;
    for (std::size_t bar; (bar = row.find('|')) != row.npos; row.remove_prefix(bar + 1))
        out.emplace_back(row.substr(0, bar));
    out.emplace_back(row);
    return out;
}
double Number(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

// The longest leading decimal number; beyond the double range an overflow.
TEST(ReadNumber, LongestLeadingDecimalNumber) {
    const char* const rows[] = {
        "|0",          "abc|0",       "  12abc|12",    "\t 5|5",     "-3.5e2x|-350",
        "1.2.3|1.2",   ".5|0.5",      "-.25|-0.25",    "-|0",        ".|0",
        "+7|7",        "1e|1",        "1e+|1",         "2E-3|0.002", "00012|12",
        "1 2|1",       "1,5|1",       "e5|0",          "--1|0",      "1e-999|0",
        "0.000e999|0", "1e308|1e308", "0.0001e-320|0", "1e999|inf",  "-1e999|-inf"};
    for (const char* row : rows) {
        const std::vector<std::string> f = Fields(row);
        const NumberReading r = ReadNumber(f[0]);
        const double expected = Number(f[1]);
        EXPECT_EQ(std::tuple(r.value, r.overflow), std::tuple(expected, std::isinf(expected)))
            << row;
    }
    // Hundreds of digits still read as the nearest double.
    EXPECT_DOUBLE_EQ(Val(std::string(400, '1') + "e-399"), 1.1111111111111111);
    EXPECT_TRUE(ReadNumber(std::string(400, '9')).overflow);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const char* const rows[] = {"2.5|2",    "3.5|4",    "0.5|0",     "-2.5|-2",   "-3.5|-4",
                                "2.4999|2", "2.5001|3", "617.5|618", "632.5|632", "1e300|1e300"};
    for (const char* row : rows) {
        EXPECT_EQ(RoundHalfEven(Number(Fields(row)[0])), Number(Fields(row)[1])) << row;
    }
}

TEST(SignNumberText, BlankOrMinusThenTheShortestForm) {
    const char* const rows[] = {"3| 3",           "0.5| .5",         "-0.5|-.5",    "0| 0",
                                "-0| 0",          "100| 100",        "1e15| 1E+15", "0.0001| .0001",
                                "0.00001| 1E-05", "-1.5e-7|-1.5E-07"};
    for (const char* row : rows) {
        EXPECT_EQ(SignNumberText(Number(Fields(row)[0])), Fields(row)[1]) << row;
    }
    EXPECT_EQ(SignNumberText(1.0 / 3), " .333333333333333");
    EXPECT_EQ(SignNumberText(123456789012345), " 123456789012345");
    EXPECT_EQ(PrintNumber(-0.5), "-.5 ");
}

// The patterns of the program. A half at the last place rounds away from zero
// by the decimal text the user sees (2.675 is stored as 2.67499999...); a
// value that rounds to zero has no minus.
TEST(Format, PatternsOfTheProgram) {
    // clang-format off
    const char* const rows[] = {
        "2|#0.##|2.", "0.333|#0.##|0.33", "0|#0.##|0.", "0.995|#0.##|1.", "12.5|##0.00|12.50",
        "1234567.5|##0.00|1234567.50", "1e15|##0.00|1000000000000000.00", "2.675|##0.00|2.68",
        "99.995|##0.00|100.00", "-0.004|##0.00|0.00", "-1.23456789|####0.000###|-1.234568",
        "45|####0.000###|45.000", "0.0005|####0.000###|0.0005", "0.0000005|####0.000###|0.000001",
        "-0.0000001|####0.000###|0.000", "1|0.0#|1.0", "0.015|0.0#|0.02", "0.00125|0.0#|0.0",
        "1e20|0.0#|100000000000000000000.0", "11.7957|##0.00#|11.796", "0.125|0.00|0.13",
        "-0.125|0.00|-0.13", "0.001234|0.00E+00|1.23E-03", "0|0.00E+00|0.00E+00",
        "-0|0.00E+00|0.00E+00", "-2.15|0.00E+00|-2.15E+00", "123456.789|0.00E+00|1.23E+05",
        "1e-300|0.00E+00|1.00E-300", "9.999|0.00E+00|1.00E+01", "-9.996e-5|0.00E+00|-1.00E-04",
        "1.0005|0.00E+00|1.00E+00", "4.9406564584124654e-324|0.00E+00|4.94E-324",
        "-0.25|#####0.00000|-0.25000", "0|###0.00000|0.00000", "3|##|3", "2.5|##|3", "0.5|##|1",
        "0.5|###0.00|0.50", "0.123456|#0.00##|0.1235", "1.5|##0.0#|1.5", "nan|##0.00|NaN",
        "-inf|0.00E+00|-Inf"};
    // clang-format on
    for (const char* row : rows) {
        const std::vector<std::string> f = Fields(row);
        EXPECT_EQ(Format(Number(f[0]), f[1]), f[2]) << row;
    }
    EXPECT_EQ(Format(std::numeric_limits<double>::max(), "##0.00").size(), 309u + 3u);
}

TEST(FormatText, RightAlignsInTheFieldWidth) {
    const char* const rows[] = {"1.23E-03| 1.23E-03", "-1.23E-100|-1.23E-100", "|         ",
                                "无|        无"};
    for (const char* row : rows) EXPECT_EQ(FormatText(Fields(row)[0], "@@@@@@@@@"), Fields(row)[1]);
}

}  // namespace
}  // namespace cbeam
