// The span writer of the depth-tested circle on a 320 x 200 buffer: the depth test of each
// pixel, the parts of spans outside the bitmap, and the clip flag, against counts worked out by
// hand and against the per-pixel rasteriser.
#include "bitmap_bits.hpp"
#include "render/circle.hpp"
#include "render/depth_plot.hpp"
#include "render/direct_rows.hpp"
#include "render/fast_circle.hpp"
#include "render_fixture.hpp"

namespace {

constexpr Rgb earlier{1, 2, 3};
constexpr Rgb drawn{250, 128, 7};

class SpanWriter : public RenderBuffer {
protected:
  void SetUp() override {
    RenderBuffer::SetUp();
    clear_to_color(target, makecol(earlier.red, earlier.green, earlier.blue));
    currentDepthMap = depthMap;
    ASSERT_TRUE(directRowsAllowed(target, depthMap));
  }
};

TEST_F(SpanWriter, EachPixelWinsOnlyOverEmptyOrStrictlyFarther) {
  struct DepthCase {
    int stored, current;
    bool wins;
    int storedAfter;
  };
  const DepthCase cases[] = {{0, 5, true, 5},    {8, 7, true, 7},   {7, 7, false, 7},
                             {6, 7, false, 6},   {300, 1, true, 1}, {0, 0, true, 0},
                             {-1, 5, false, -1}, {5, -3, true, -3}};
  for (const DepthCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "stored " << c.stored << ", current " << c.current);
    clear_to_color(target, makecol(earlier.red, earlier.green, earlier.blue));
    clear_zbuffer(depthMap, 0);
    putpixel(depthMap, 99, 50, c.stored); // radius 1 at (100, 50) covers (99, 50) and (100, 50)
    putpixel(depthMap, 100, 50, c.stored);
    currentDepth = c.current;
    fillDepthTestedCircle(target, 100, 50, 1, makecol(drawn.red, drawn.green, drawn.blue));
    for (int x : {99, 100}) {
      EXPECT_EQ(colourAt(x, 50), c.wins ? drawn : earlier);
      EXPECT_EQ(depthAt(x, 50), c.storedAfter);
    }
    EXPECT_EQ(countOtherThan(earlier), c.wins ? 2 : 0);
  }
}

TEST_F(SpanWriter, SpansAreCutAtTheBitmapEdgesAndTheClipFlagFollowsTheRules) {
  // Radius 2 covers columns x - 1 .. x on rows y - 2 and y + 2, and x - 2 .. x + 1 on rows
  // y - 1 .. y + 1: 16 pixels. The counts are the part inside 0..319 x 0..199.
  struct EdgeCase {
    int clip, x, y;
    int pixels;    // drawn inside the bitmap
    int clipAfter; // 5 stands for any "on" value a culled circle must leave alone
  };
  const EdgeCase cases[] = {
      {5, 160, 100, 16, -1}, {5, 0, 100, 8, -1},    {5, 1, 100, 13, -1},  {5, -1, 100, 3, -1},
      {5, -2, 100, 0, -1},   {5, -3, 100, 0, -1},   {5, -4, 100, 0, 5},   {5, 319, 100, 13, -1},
      {5, 320, 100, 8, -1},  {5, 321, 100, 3, -1},  {5, 322, 100, 0, -1}, {5, 323, 100, 0, 5},
      {5, 160, 0, 10, -1},   {5, 160, 199, 10, -1}, {5, 160, 201, 2, -1}, {5, 160, 203, 0, 5},
      {0, -1, 100, 3, 0},    {0, 0, 0, 5, 0},       {0, 500, 100, 0, 0},  {0, 319, 199, 8, 0}};
  for (const EdgeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "clip " << c.clip << ", centre " << c.x << ", " << c.y);
    BITMAP* reference = create_bitmap(bufferWidth, bufferHeight);
    ZBUFFER* referenceDepths = create_zbuffer(reference);
    for (BITMAP* bitmap : {target, reference}) {
      clear_to_color(bitmap, makecol(earlier.red, earlier.green, earlier.blue));
      bitmap->clip = c.clip;
    }
    clear_zbuffer(depthMap, 0);
    clear_zbuffer(referenceDepths, 0);
    currentDepth = 9;
    const int colour = makecol(drawn.red, drawn.green, drawn.blue);
    fillDepthTestedCircle(target, c.x, c.y, 2, colour);
    EXPECT_EQ(countOtherThan(earlier), c.pixels);
    EXPECT_EQ(target->clip, c.clipAfter);

    currentDepthMap = referenceDepths;
    fillCircle(reference, c.x, c.y, 2, colour, depthTestedPlot);
    currentDepthMap = depthMap;
    EXPECT_EQ(reference->clip, target->clip);
    EXPECT_TRUE(sameBits(reference, target));
    EXPECT_TRUE(sameBits(referenceDepths, depthMap));
    destroy_zbuffer(referenceDepths);
    destroy_bitmap(reference);
  }
}

} // namespace
