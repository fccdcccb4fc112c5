// Each four-lane step of the particles' direct path against what it stands for: the library's
// apply_matrix_f, persp_project_f and makecol32, and the strict view test and the truncations
// of pixel and depth worked out by hand, on values that include the edges.
#include "render/particle_lanes.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

struct Point {
  float x, y, z;
};

/// Points at the edges of what the transform and projection meet: the origin, signed zeros,
/// the view-pyramid boundary, tiny and subnormal depths, huge, infinite and NaN coordinates.
const std::vector<Point> edgePoints = {{0, 0, 0},
                                       {-0.0f, -0.0f, -0.0f},
                                       {64, -64, 64},
                                       {-64, 64, 64},
                                       {32, -16, 64},
                                       {0.5f, 0.25f, -1},
                                       {1, 1, 1e-30f},
                                       {0, 0, 1e-45f},
                                       {3e38f, -3e38f, 3e38f},
                                       {1e30f, 2e30f, -1e30f},
                                       {inf, 0, 1},
                                       {0, -inf, inf},
                                       {nan, 0, 5},
                                       {0, nan, 5},
                                       {0, 0, nan},
                                       {123.456f, -7.5f, 900.25f},
                                       {-512, 300, -0.5f},
                                       {2, 3, 4}};

bool sameFloat(float a, float b) {
  if (std::isnan(a) && std::isnan(b)) {
    return true; // a NaN's payload means nothing to the renderer
  }
  std::uint32_t bitsA, bitsB;
  std::memcpy(&bitsA, &a, sizeof a);
  std::memcpy(&bitsB, &b, sizeof b);
  return bitsA == bitsB;
}

/// Runs `step` on the points four at a time; `check` gets each point and its lane's result.
template <typename Step, typename Check>
void forEachLane(const std::vector<Point>& points, Step step, Check check) {
  for (size_t first = 0; first < points.size(); first += laneCount) {
    PointLanes lanes{};
    for (int i = 0; i < laneCount && first + i < points.size(); ++i) {
      lanes.x[i] = points[first + i].x;
      lanes.y[i] = points[first + i].y;
      lanes.z[i] = points[first + i].z;
    }
    const auto result = step(lanes);
    for (int i = 0; i < laneCount && first + i < points.size(); ++i) {
      check(points[first + i], result, i);
    }
  }
}

MATRIX_f cameraMatrix() {
  MATRIX_f m;
  get_camera_matrix_f(&m, 10.0f, -5.0f, 300.0f, 0.3f, -0.2f, 0.9f, 0.0f, 1.0f, 0.0f, 64.0f, 1.0f);
  return m;
}

MATRIX_f hugeMatrix() {
  MATRIX_f m = identity_matrix_f;
  m.v[0][1] = 3e38f;
  m.v[2][0] = -2.5f;
  m.t[1] = -1e30f;
  m.t[2] = 7.0f;
  return m;
}

TEST(ParticleLanes, TransformGivesApplyMatrixFBits) {
  for (const MATRIX_f& m : {identity_matrix_f, cameraMatrix(), hugeMatrix()}) {
    forEachLane(
        edgePoints, [&m](const PointLanes& p) { return transformLanes(m, p); },
        [&m](const Point& p, const PointLanes& out, int i) {
          float x, y, z;
          apply_matrix_f(&m, p.x, p.y, p.z, &x, &y, &z);
          SCOPED_TRACE(testing::Message() << p.x << ", " << p.y << ", " << p.z);
          EXPECT_TRUE(sameFloat(out.x[i], x)) << out.x[i] << " vs " << x;
          EXPECT_TRUE(sameFloat(out.y[i], y)) << out.y[i] << " vs " << y;
          EXPECT_TRUE(sameFloat(out.z[i], z)) << out.z[i] << " vs " << z;
        });
  }
}

TEST(ParticleLanes, ProjectionGivesPerspProjectFBits) {
  set_projection_viewport(0, 0, 320, 200);
  forEachLane(edgePoints, projectLanes, [](const Point& p, const ScreenLanes& out, int i) {
    float x, y;
    persp_project_f(p.x, p.y, p.z, &x, &y);
    SCOPED_TRACE(testing::Message() << p.x << ", " << p.y << ", " << p.z);
    EXPECT_TRUE(sameFloat(out.x[i], x)) << out.x[i] << " vs " << x;
    EXPECT_TRUE(sameFloat(out.y[i], y)) << out.y[i] << " vs " << y;
  });
}

TEST(ParticleLanes, ViewTestIsStrict) {
  struct ViewCase {
    Point p;
    bool inView;
  };
  const std::vector<ViewCase> cases = {
      {{32, -16, 64}, true},     {{63.99f, 0, 64}, true},  {{-63.99f, 63.99f, 64}, true},
      {{64, 0, 64}, false},      {{-64, 0, 64}, false},    {{0, 64, 64}, false},
      {{0, -64, 64}, false},     {{0, 0, 0}, false},       {{-0.0f, 0, 0}, false},
      {{0, 0, -5}, false},       {{0, 0, 1e-45f}, true},   {{1e-45f, 0, 1e-45f}, false},
      {{0, 0, inf}, true},       {{inf, 0, inf}, false},   {{1e38f, -1e38f, 3e38f}, true},
      {{nan, 0, 5}, false},      {{0, nan, 5}, false},     {{0, 0, nan}, false},
      {{-0.0f, -0.0f, 1}, true}, {{0.5f, 0.5f, -1}, false}};
  std::vector<Point> points;
  points.reserve(cases.size());
  for (const ViewCase& c : cases) {
    points.push_back(c.p);
  }
  size_t n = 0;
  forEachLane(points, strictlyInViewLanes, [&](const Point& p, const IntLanes& out, int i) {
    SCOPED_TRACE(testing::Message() << p.x << ", " << p.y << ", " << p.z);
    EXPECT_EQ(out[i], cases[n++].inView ? -1 : 0);
  });
  EXPECT_EQ(n, cases.size());
}

TEST(ParticleLanes, PixelsTruncateTowardZeroAndLandOnlyInsideTheBitmap) {
  constexpr int w = 320;
  constexpr int h = 200;
  struct PixelCase {
    float screen; // used as x on a w-wide bitmap and, scaled to h, as y
    int column;   // as truncToInt has it, where it lands
    bool inside;
  };
  const std::vector<PixelCase> columns = {
      {-1.0f, -1, false},   {-0.99f, 0, true},    {-0.0f, 0, true},    {0.0f, 0, true},
      {0.5f, 0, true},      {318.99f, 318, true}, {319.0f, 319, true}, {319.99f, 319, true},
      {320.0f, 320, false}, {320.5f, 320, false}, {nan, 0, true},      {-3e38f, 0, false},
      {3e38f, 0, false},    {inf, 0, false},      {-inf, 0, false},    {2147483648.0f, 0, false}};
  const std::vector<PixelCase> rows = {
      {-1.0f, -1, false},  {-0.5f, 0, true},     {0.0f, 0, true}, {199.0f, 199, true},
      {199.9f, 199, true}, {200.0f, 200, false}, {nan, 0, true},  {-inf, 0, false}};
  const auto check = [&](const PixelCase& xCase, const PixelCase& yCase) {
    const ScreenLanes s{FloatLanes{} + xCase.screen, FloatLanes{} + yCase.screen};
    const PixelLanes out = pixelLanes(s, w, h);
    SCOPED_TRACE(testing::Message() << "screen " << xCase.screen << ", " << yCase.screen);
    const bool inside = xCase.inside && yCase.inside;
    for (int i = 0; i < laneCount; ++i) {
      EXPECT_EQ(out.inside[i], inside ? -1 : 0);
      if (inside) {
        EXPECT_EQ(out.x[i], xCase.column);
        EXPECT_EQ(out.y[i], yCase.column);
        EXPECT_EQ(cellLanes(out, w)[i], yCase.column * w + xCase.column);
      }
    }
  };
  for (const PixelCase& x : columns) {
    check(x, rows[2]);
  }
  for (const PixelCase& y : rows) {
    check(columns[4], y);
  }
}

TEST(ParticleLanes, DepthsAreCutTowardZeroAndSaturateAsTruncToIntHasIt) {
  struct DepthCase {
    float depth;
    int stored; // worked out by hand: the whole part, INT_MAX from 2^31 on, 0 where none lands
  };
  const std::vector<DepthCase> cases = {{1e-45f, 0},
                                        {0.5f, 0},
                                        {0.99999994f, 0},
                                        {1.0f, 1},
                                        {9.9f, 9},
                                        {10.7f, 10},
                                        {16777215.0f, 16777215},
                                        {16777216.0f, 16777216},
                                        {2147483520.0f, 2147483520}, // the last float below 2^31
                                        {2147483648.0f, INT_MAX},
                                        {3e38f, INT_MAX},
                                        {inf, INT_MAX},
                                        {0.0f, 0},
                                        {-0.0f, 0},
                                        {-10.5f, 0},
                                        {-inf, 0},
                                        {nan, 0}};
  for (size_t first = 0; first < cases.size(); first += laneCount) {
    FloatLanes depth = FloatLanes{} + 1.0f;
    for (int i = 0; i < laneCount && first + i < cases.size(); ++i) {
      depth[i] = cases[first + i].depth;
    }
    const IntLanes stored = truncDepthLanes(depth);
    for (int i = 0; i < laneCount && first + i < cases.size(); ++i) {
      EXPECT_EQ(stored[i], cases[first + i].stored) << "depth " << cases[first + i].depth;
    }
  }
}

TEST(ParticleLanes, PackingGivesMakecol32OfTheShadedComponents) {
  struct PackCase {
    int red, green, blue;
    float depth;
    int r, g, b; // each component less trunc(depth / 4), clamped at 0, worked out by hand
  };
  const std::vector<PackCase> cases = {
      {200, 100, 50, 130.0f, 168, 68, 18}, {200, 100, 50, 260.0f, 135, 35, 0},
      {200, 100, 50, 3.99f, 200, 100, 50}, {200, 100, 50, 4.0f, 199, 99, 49},
      {255, 255, 255, 1019.99f, 1, 1, 1},  {255, 255, 255, 1020.0f, 0, 0, 0},
      {255, 0, 128, 1e-30f, 255, 0, 128},  {255, 255, 255, 3e38f, 0, 0, 0},
      {255, 255, 255, inf, 0, 0, 0},       {0, 0, 0, 1.0f, 0, 0, 0},
      {7, 8, 9, 32.5f, 0, 0, 1},           {1, 254, 3, 1.0f, 1, 254, 3}};
  const auto run = [&cases]() {
    const PixelFormat32 format = currentPixelFormat32();
    for (size_t first = 0; first < cases.size(); first += laneCount) {
      IntLanes red{}, green{}, blue{};
      FloatLanes depth = FloatLanes{} + 1.0f;
      for (int i = 0; i < laneCount && first + i < cases.size(); ++i) {
        red[i] = cases[first + i].red;
        green[i] = cases[first + i].green;
        blue[i] = cases[first + i].blue;
        depth[i] = cases[first + i].depth;
      }
      const IntLanes packed = shadedPixelLanes(format, red, green, blue, depth);
      for (int i = 0; i < laneCount && first + i < cases.size(); ++i) {
        const PackCase& c = cases[first + i];
        EXPECT_EQ(packed[i], makecol32(c.r, c.g, c.b))
            << c.red << ", " << c.green << ", " << c.blue << " at depth " << c.depth;
      }
    }
  };
  run();
  // Another pixel layout, as a screen mode can bring: the shifts are read, not assumed.
  const int redShift = _rgb_r_shift_32;
  const int blueShift = _rgb_b_shift_32;
  _rgb_r_shift_32 = blueShift;
  _rgb_b_shift_32 = redShift;
  run();
  _rgb_r_shift_32 = redShift;
  _rgb_b_shift_32 = blueShift;
}

} // namespace
