// Brightening of a new funnie's colour: the largest component goes to full strength.
#include "sim/colour.hpp"

#include <gtest/gtest.h>

namespace {

struct ColourCase {
  Colour input;
  Colour expected;
};

// Worked as 255 * component / largest, cut toward zero: 50 -> 127.5, 37 -> 94.35, 10 -> 12.75,
// 20 of 33 -> 154.5. A largest of 33 itself lands a hair under 255 through the rounded divisor.
constexpr ColourCase colourCases[] = {
    {{255, 10, 20}, {255, 10, 20}}, {{100, 50, 37}, {255, 127, 94}}, {{1, 1, 1}, {255, 255, 255}},
    {{33, 0, 0}, {254, 0, 0}},      {{0, 0, 0}, {0, 0, 0}},          {{10, 200, 0}, {12, 255, 0}},
    {{0, 33, 0}, {0, 254, 0}},      {{20, 10, 33}, {154, 77, 254}},  {{0, 0, 128}, {0, 0, 255}},
};

TEST(ColourNormalisation, BrightensTheLargestComponentAndKeepsTheRatios) {
  for (const ColourCase& c : colourCases) {
    Colour colour = c.input;
    normaliseColour(colour);
    SCOPED_TRACE(testing::Message()
                 << int(c.input.red) << ',' << int(c.input.green) << ',' << int(c.input.blue));
    EXPECT_EQ(colour.red, c.expected.red);
    EXPECT_EQ(colour.green, c.expected.green);
    EXPECT_EQ(colour.blue, c.expected.blue);
  }
}

} // namespace
