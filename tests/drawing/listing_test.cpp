#include <gtest/gtest.h>

#include "canvas/recording_canvas.h"

namespace cbeam {
namespace {

TEST(Listing, OneLinePerPrimitive) {
    RecordingCanvas c(8600, 2080);
    c.Line(600, 940, 2000.0f / 15, -0.5f);
    c.Line(1, 2, 3, 4, Rgb{50, 50, 255});
    c.Box(600, 940, 8000, 955, Rgb{0, 0, 225});
    c.Circle(3560, 970, 30);
    c.Print(3700, 1720, "-10.00000kNm");
    c.Print(0, 0, "say \"hi\"\\\n第1跨");
    EXPECT_EQ(ListPrimitives(c.Items()),
              "line 600 940 133.333328 -0.5\n"
              "line 1 2 3 4 50 50 255\n"
              "box 600 940 8000 955 0 0 225\n"
              "circle 3560 970 30\n"
              "text 3700 1720 \"-10.00000kNm\"\n"
              "text 0 0 \"say \\\"hi\\\"\\\\\\n第1跨\"\n");
    c.Clear();
    EXPECT_TRUE(c.Items().empty());
    EXPECT_EQ(c.Clears(), 1);
}

}  // namespace
}  // namespace cbeam
