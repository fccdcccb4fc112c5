// The four-lane helpers: the pixel truncation must agree with truncToInt on every value whose
// pixel could land in the bitmap and send every other value outside it, the fused multiply-add
// must round once, and the transpose must move every lane, float bits included, to its place.
#include "numeric/float_lanes.hpp"
#include "numeric/truncate.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr float width = 640.0f;

bool inside(int pixel) {
  return pixel >= 0 && pixel < static_cast<int>(width);
}

TEST(FloatLanes, PixelTruncationAgreesWithTruncToIntWhereItMatters) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> values = {
      nan,   -inf, -3e38f, -2147483904.0f, -1.5f,  -1.0f,   -0.999f, -0.5f,  -0.0f,
      0.0f,  0.5f, 1.0f,   319.99f,        639.0f, 639.99f, 640.0f,  640.5f, 2147483648.0f,
      3e38f, inf,  1e-40f, -1e-40f};
  for (size_t first = 0; first < values.size(); first += laneCount) {
    FloatLanes lanes = {};
    for (int i = 0; i < laneCount && first + i < values.size(); ++i) {
      lanes[i] = values[first + i];
    }
    const IntLanes pixels = truncToPixelLanes(lanes, width);
    for (int i = 0; i < laneCount && first + i < values.size(); ++i) {
      const float value = values[first + i];
      const int expected = truncToInt(value);
      SCOPED_TRACE(value);
      EXPECT_EQ(inside(pixels[i]), inside(expected));
      if (inside(expected)) {
        EXPECT_EQ(pixels[i], expected);
      }
    }
  }
}

TEST(FloatLanes, NanLandsOnColumnZeroAsTruncToIntHasIt) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const IntLanes pixels = truncToPixelLanes(FloatLanes{nan, nan, 1.0f, nan}, width);
  EXPECT_EQ(pixels[0], 0);
  EXPECT_EQ(pixels[2], 1);
}

TEST(FloatLanes, FusedMultiplyAddRoundsOnceInEveryLane) {
  const float a = 1.0f + 0x1p-12f; // a * a is 1 + 2^-11 + 2^-24, and rounding loses the 2^-24
  const float c = -(1.0f + 0x1p-11f);
  const FloatLanes sum = fusedMultiplyAddLanes(FloatLanes{a, 3, a, 0.5f}, FloatLanes{a, 5, a, 4},
                                               FloatLanes{c, 1, c, -2});
  EXPECT_EQ(sum[0], 0x1p-24f);
  EXPECT_EQ(sum[1], 16.0f);
  EXPECT_EQ(sum[2], 0x1p-24f);
  EXPECT_EQ(sum[3], 0.0f);
}

TEST(FloatLanes, TransposingSwapsRowsAndLanesAndKeepsFloatBits) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  IntLanes rows[laneCount] = {{0, 1, 2, 3}, {10, 11, 12, 13}, {20, 21, 22, 23}, {30, 31, 32, 33}};
  rows[1] = laneBits(FloatLanes{-0.0f, 1.5f, nan, 3e38f});
  const IntLanes floatBits = rows[1];
  transposeLanes(rows);
  for (int row = 0; row < laneCount; ++row) {
    for (int lane = 0; lane < laneCount; ++lane) {
      const int expected = lane == 1 ? floatBits[row] : lane * 10 + row;
      EXPECT_EQ(rows[row][lane], expected) << "row " << row << ", lane " << lane;
    }
  }
}

} // namespace
