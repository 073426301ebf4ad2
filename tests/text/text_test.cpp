#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "text/format.h"
#include "text/number.h"

namespace cbeam {
namespace {

struct ReadCase {
    const char* text;
    double value;
    bool overflow;
};

TEST(ReadNumber, LongestLeadingDecimalNumber) {
    const ReadCase cases[] = {
        {"", 0, false},
        {"abc", 0, false},
        {"  12abc", 12, false},
        {"\t 5", 5, false},
        {"-3.5e2x", -350, false},
        {"1.2.3", 1.2, false},
        {".5", 0.5, false},
        {"-.25", -0.25, false},
        {"-", 0, false},
        {".", 0, false},
        {"+7", 7, false},
        {"1e", 1, false},
        {"1e+", 1, false},
        {"2E-3", 0.002, false},
        {"00012", 12, false},
        {" 1", 1, false},
        {" .5", 0.5, false},
        {"1 2", 1, false},
        {"1,5", 1, false},
        {"e5", 0, false},
        {"--1", 0, false},
        {"1e999", HUGE_VAL, true},
        {"-1e999", -HUGE_VAL, true},
        {"1e-999", 0, false},
        {"0.000e999", 0, false},
        {"1e308", 1e308, false},
        {"0.0001e-320", 0, false},
    };
    for (const auto& c : cases) {
        const NumberReading r = ReadNumber(c.text);
        EXPECT_EQ(r.value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(r.overflow, c.overflow) << '"' << c.text << '"';
    }
    // Hundreds of digits still read as the nearest double.
    EXPECT_DOUBLE_EQ(Val(std::string(400, '1') + "e-399"), 1.1111111111111111);
    EXPECT_TRUE(ReadNumber(std::string(400, '9')).overflow);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, double> cases[] = {
        {2.5, 2},    {3.5, 4},    {0.5, 0},     {1.5, 2},     {-2.5, -2}, {-3.5, -4},
        {2.4999, 2}, {2.5001, 3}, {617.5, 618}, {632.5, 632}, {-0.4, 0},  {1e300, 1e300},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(RoundHalfEven(in), out) << in;
}

TEST(SignNumberText, BlankOrMinusThenShortestForm) {
    const std::pair<double, const char*> cases[] = {
        {3, " 3"},
        {0.5, " .5"},
        {-0.5, "-.5"},
        {-3, "-3"},
        {0, " 0"},
        {-0.0, " 0"},
        {100, " 100"},
        {2.5, " 2.5"},
        {1.0 / 3, " .333333333333333"},
        {123456789012345, " 123456789012345"},
        {1e15, " 1E+15"},
        {0.0001, " .0001"},
        {0.00001, " 1E-05"},
        {0.001, " .001"},
        {-1.5e-7, "-1.5E-07"},
        {32766, " 32766"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(SignNumberText(v), text) << v;
    EXPECT_EQ(PrintNumber(0.5), " .5 ");
    EXPECT_EQ(PrintNumber(-2), "-2 ");
}

struct FormatCase {
    double value;
    const char* pattern;
    const char* text;
};

TEST(Format, PatternsOfTheProgram) {
    const FormatCase cases[] = {
        // Labels of the schematic.
        {2, "#0.##", "2."},
        {1.5, "#0.##", "1.5"},
        {0.333, "#0.##", "0.33"},
        {0, "#0.##", "0."},
        {6, "##0.00", "6.00"},
        {12.5, "##0.00", "12.50"},
        // Results list and report.
        {-1.23456789, "####0.000###", "-1.234568"},
        {45, "####0.000###", "45.000"},
        {0, "####0.000###", "0.000"},
        {1, "0.0#", "1.0"},
        {0.25, "0.0#", "0.25"},
        {45, "##0.00#", "45.00"},
        {11.7957, "##0.00#", "11.796"},
        {0.001234, "0.00E+00", "1.23E-03"},
        {0, "0.00E+00", "0.00E+00"},
        {-2.15, "0.00E+00", "-2.15E+00"},
        {1.54, "0.00E+00", "1.54E+00"},
        {123456.789, "0.00E+00", "1.23E+05"},
        {1e-300, "0.00E+00", "1.00E-300"},
        {9.999, "0.00E+00", "1.00E+01"},
        {-9.996e-5, "0.00E+00", "-1.00E-04"},
        // Diagram labels.
        {12.5, "#####0.00000", "12.50000"},
        {-0.25, "#####0.00000", "-0.25000"},
        {0, "###0.00000", "0.00000"},
        {-10, "#####0.00000", "-10.00000"},
        // Table and fields.
        {3, "##", "3"},
        {123, "##", "123"},
        {0.5, "###0.00", "0.50"},
        {20, "#0.00##", "20.00"},
        {0.123456, "#0.00##", "0.1235"},
        {1.5, "##0.0#", "1.5"},
        {1234567.5, "##0.00", "1234567.50"},
        {1e15, "##0.00", "1000000000000000.00"},
        {1e20, "0.0#", "100000000000000000000.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
}

TEST(Format, HalvesAtTheLastPlaceRoundAwayFromZero) {
    // The decimal text the user sees decides, not the binary value: 2.675 is
    // stored as 2.67499999... yet reads as 2.675.
    const FormatCase cases[] = {
        {0.125, "0.00", "0.13"},
        {-0.125, "0.00", "-0.13"},
        {2.675, "##0.00", "2.68"},
        {2.5, "##", "3"},
        {0.5, "##", "1"},
        {0.0005, "####0.000###", "0.0005"},
        {0.0000005, "####0.000###", "0.000001"},
        {99.995, "##0.00", "100.00"},
        {1.0005, "0.00E+00", "1.00E+00"},
        {0.00125, "0.0#", "0.0"},
        {0.015, "0.0#", "0.02"},
        {4.5, "#0.##", "4.5"},
        {0.005, "#0.##", "0.01"},
        {0.995, "#0.##", "1."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
}

TEST(Format, NoMinusOnAValueThatRoundsToZero) {
    EXPECT_EQ(Format(-0.0, "####0.000###"), "0.000");
    EXPECT_EQ(Format(-0.0000001, "####0.000###"), "0.000");
    EXPECT_EQ(Format(-0.004, "##0.00"), "0.00");
    EXPECT_EQ(Format(-0.0, "0.00E+00"), "0.00E+00");
}

TEST(Format, NonFiniteValuesDoNotCrash) {
    EXPECT_EQ(Format(std::numeric_limits<double>::quiet_NaN(), "##0.00"), "NaN");
    EXPECT_EQ(Format(-HUGE_VAL, "0.00E+00"), "-Inf");
    EXPECT_EQ(Format(std::numeric_limits<double>::max(), "##0.00").size(), 309u + 3u);
    EXPECT_EQ(Format(std::numeric_limits<double>::denorm_min(), "0.00E+00"), "4.94E-324");
}

TEST(FormatText, RightAlignsInTheFieldWidth) {
    EXPECT_EQ(FormatText("1.23E-03", "@@@@@@@@@"), " 1.23E-03");
    EXPECT_EQ(FormatText("-2.15E+00", "@@@@@@@@@"), "-2.15E+00");
    EXPECT_EQ(FormatText("-1.23E-100", "@@@@@@@@@"), "-1.23E-100");
    EXPECT_EQ(FormatText("", "@@@"), "   ");
    EXPECT_EQ(FormatText("无", "@@@"), "  无");
}

}  // namespace
}  // namespace cbeam
