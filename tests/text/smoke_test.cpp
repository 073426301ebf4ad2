#include <gtest/gtest.h>
#include "text/format.h"
#include "text/number.h"
TEST(Smoke, Format) {
  EXPECT_EQ(cbeam::Format(2, "#0.##"), "2.");
  EXPECT_EQ(cbeam::Format(-1.23456789, "####0.000###"), "-1.234568");
  EXPECT_EQ(cbeam::Format(0.001234, "0.00E+00"), "1.23E-03");
  EXPECT_EQ(cbeam::SignNumberText(0.5), " .5");
}
