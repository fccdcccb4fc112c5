// Binary angles of 2D vectors, and re-aiming the camera at the selected funnie with overlay
// line 4.
#include "camera/tracking.hpp"
#include "camera/vector_angle.hpp"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr unsigned seed = 99;
constexpr int stripTop = 30; // line 4 of the overlay, 8 pixels of the built-in font
constexpr int stripHeight = 8;
constexpr int bitmapWidth = 320;
constexpr int bitmapHeight = 48;

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

class Tracking : public ::testing::Test {
protected:
  void SetUp() override {
    std::srand(seed);
    selected = new Funnie(nullptr);
    drawn = create_bitmap(bitmapWidth, bitmapHeight);
    expected = create_bitmap(bitmapWidth, bitmapHeight);
    clear_to_color(drawn, scene);
    clear_to_color(expected, scene);
  }

  void TearDown() override {
    destroy_bitmap(expected);
    destroy_bitmap(drawn);
    deleteFunnies(selected);
  }

  void putHeadAt(float x, float y, float z) { selected->segments[0] = FunnieSegment{x, y, z}; }

  /// Pixels of rows [top, bottom) where the two bitmaps differ.
  static int differences(BITMAP* a, BITMAP* b, int top = 0, int bottom = bitmapHeight) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < bitmapWidth; ++x) {
        count += getpixel(a, x, y) != getpixel(b, x, y) ? 1 : 0;
      }
    }
    return count;
  }
  static int stripDifferences(BITMAP* a, BITMAP* b) {
    return differences(a, b, stripTop, stripTop + stripHeight);
  }

  /// The line as the overlay should show it: white on an opaque black box.
  static void writeExpected(BITMAP* target, const char* text) {
    textout_ex(target, font, text, 0, stripTop, makecol(255, 255, 255), 0);
  }

  Funnie* selected = nullptr;
  BITMAP* drawn = nullptr;
  BITMAP* expected = nullptr;
  const int scene = makecol(30, 90, 160); // something the black text box shows up on
};

TEST_F(Tracking, AimsTheCameraAtTheHead) {
  struct Case {
    float cx, cy, cz, hx, hy, hz;
    int yaw, pitch;
  };
  const Case cases[] =
      {
          {0, 0, 0, 100, 0, 0, 64, 0},       {0, 0, 0, 0, 100, 0, 0, 64},
          {0, 0, 0, 0, -100, 0, 0, -64},     {0, 0, 0, 0, -30, 40, 0, -27},
          {0, 0, 0, 0, 30, 40, 0, 26},       // atan(3/4) = 26.2 units, upwards
          {0, 0, 100, 0, 0, 0, 128, 0},      // orbit camera looking back at the origin
          {10, 5, -20, -90, 5, -20, 192, 0}, // measured from the camera, not the origin
      };
  for (const Case& c : cases) {
    Camera camera;
    camera.x = c.cx;
    camera.y = c.cy;
    camera.z = c.cz;
    putHeadAt(c.hx, c.hy, c.hz);
    trackSelectedFunnie(camera, selected, drawn);
    EXPECT_EQ(camera.yaw, c.yaw) << "head " << c.hx << "," << c.hy << "," << c.hz;
    EXPECT_EQ(camera.pitch, c.pitch) << "head " << c.hx << "," << c.hy << "," << c.hz;
  }
}

TEST_F(Tracking, StraightUpIsClampedByTheNextFramesNormalisation) {
  Camera camera;
  putHeadAt(0, 100, 0);
  trackSelectedFunnie(camera, selected, drawn);
  normaliseAngles(camera);
  EXPECT_EQ(camera.pitch, 63);
}

TEST_F(Tracking, WithoutASelectionNothingChangesAndNothingIsDrawn) {
  Camera camera;
  camera.yaw = -44;
  camera.pitch = 17;
  camera.z = 3.0f;
  trackSelectedFunnie(camera, nullptr, drawn);
  EXPECT_EQ(camera.yaw, -44);
  EXPECT_EQ(camera.pitch, 17);
  EXPECT_EQ(differences(drawn, expected), 0);
}

TEST_F(Tracking, LineFourShowsTheHeadCutTowardZero) {
  struct Case {
    float x, y, z;
    const char* text;
  };
  const Case cases[] = {
      {12.7f, -3.9f, 0.2f, "Selected funnie at 12 -3 0."},
      {-0.7f, 3.9f, 100.2f, "Selected funnie at 0 3 100."},
  };
  for (const Case& c : cases) {
    clear_to_color(drawn, scene);
    clear_to_color(expected, scene);
    writeExpected(expected, c.text);
    Camera camera;
    putHeadAt(c.x, c.y, c.z);
    trackSelectedFunnie(camera, selected, drawn);
    EXPECT_EQ(stripDifferences(drawn, expected), 0) << c.text;
    EXPECT_EQ(differences(drawn, expected), 0) << c.text; // nothing outside the strip
  }
}

TEST_F(Tracking, TheStripComparisonTellsNeighbouringNumbersApart) {
  writeExpected(expected, "Selected funnie at 12 -3 0.");
  writeExpected(drawn, "Selected funnie at 13 -4 0."); // rounding instead of cutting
  EXPECT_GT(stripDifferences(drawn, expected), 0);
}

} // namespace
