// Binary angles and lengths of 2D vectors.
#include "numeric/vector_angle.hpp"

#include <gtest/gtest.h>

namespace {

TEST(VectorAngle, GivesTheBinaryAngleFromThePositiveFirstAxis) {
  struct Case {
    float a, b;
    int angle;
  };
  // By hand: atan(1/2) = 18.9 units; atan(-2) = -45.1, plus a turn 210.9; pi + atan(-1/2)
  // = 109.1; atan(-3/4) = -26.2, floored to 229; pi + atan(2) = 173.1.
  const Case cases[] = {
      {1, 0, 0},    {0, 1, 64},   {-1, 0, 128}, {0, -1, 192},  {0, 0, 0},      {2, 1, 18},
      {1, -2, 210}, {-2, 1, 109}, {4, -3, 229}, {-1, -2, 173}, {1e-3f, 5, 63}, {-5, -1e-3f, 128},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vectorAngle(c.a, c.b), c.angle) << "(" << c.a << ", " << c.b << ")";
  }
}

TEST(VectorAngle, HypotenuseIsTheEuclideanLength) {
  EXPECT_DOUBLE_EQ(hypotenuse(3, 4), 5.0);
  EXPECT_DOUBLE_EQ(hypotenuse(-5, 12), 13.0);
  EXPECT_DOUBLE_EQ(hypotenuse(0, -2.5), 2.5);
}

} // namespace
