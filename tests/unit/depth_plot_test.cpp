// The integer depth test behind every circle pixel, and the clamp of shaded components.
#include "render/depth_plot.hpp"
#include "render/max_int.hpp"
#include "render_fixture.hpp"

namespace {

constexpr int px = 30;
constexpr int py = 40;
constexpr Rgb earlier{1, 2, 3}; // what the pixel showed before the plot
constexpr Rgb plotted{250, 128, 7};

class DepthTestedPlot : public RenderBuffer {
protected:
  void SetUp() override {
    RenderBuffer::SetUp();
    currentDepthMap = depthMap;
  }

  void plotAt(int depth, Rgb colour) {
    currentDepth = depth;
    depthTestedPlot(target, px, py, makecol(colour.red, colour.green, colour.blue));
  }
};

TEST_F(DepthTestedPlot, DrawsOverEmptyOrStrictlyFartherPixelsOnly) {
  struct DepthCase {
    int stored, current;
    bool drawn;
    int storedAfter;
  };
  const DepthCase cases[] = {
      {0, 5, true, 5}, {8, 7, true, 7}, {7, 7, false, 7}, {6, 7, false, 6}, {300, 1, true, 1}};
  for (const DepthCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "stored " << c.stored << ", current " << c.current);
    putpixel(target, px, py, makecol(earlier.red, earlier.green, earlier.blue));
    putpixel(depthMap, px, py, c.stored);
    plotAt(c.current, plotted);
    EXPECT_EQ(colourAt(px, py), c.drawn ? plotted : earlier);
    EXPECT_EQ(depthAt(px, py), c.storedAfter);
  }
}

TEST_F(DepthTestedPlot, APixelWrittenAtDepthZeroStillCountsAsEmpty) {
  constexpr Rgb later{9, 99, 199};
  plotAt(0, plotted);
  ASSERT_EQ(colourAt(px, py), plotted);
  EXPECT_EQ(depthAt(px, py), 0);
  plotAt(50, later);
  EXPECT_EQ(colourAt(px, py), later);
  EXPECT_EQ(depthAt(px, py), 50);
}

TEST(ComponentClamp, MaxIntTakesTheLarger) {
  struct MaxCase {
    int a, b, larger;
  };
  const MaxCase cases[] = {{0, -5, 0}, {0, 300, 300}, {0, 0, 0}, {-7, -3, -3}};
  for (const MaxCase& c : cases) {
    EXPECT_EQ(maxInt(c.a, c.b), c.larger) << c.a << ", " << c.b;
  }
}

} // namespace
