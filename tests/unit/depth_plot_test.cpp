// The integer depth test of circle pixels, and the clamp of shaded colour components.
#include "render/depth_plot.hpp"
#include "render/max_int.hpp"
#include "render_fixture.hpp"

namespace {

class DepthTestedPlot : public RenderBuffer {
protected:
  void SetUp() override {
    RenderBuffer::SetUp();
    currentDepthMap = depthMap;
  }
  void TearDown() override {
    currentDepthMap = nullptr;
    currentDepth = 0;
    RenderBuffer::TearDown();
  }
};

TEST_F(DepthTestedPlot, DrawsOverEmptyOrStrictlyFartherPixelsOnly) {
  const Rgb colour{200, 100, 50};
  const struct {
    int stored, current;
    bool drawn;
    int depthLeft;
  } cases[] = {{0, 5, true, 5}, {8, 7, true, 7}, {7, 7, false, 7}, {6, 7, false, 6}};
  int x = 10;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "stored " << c.stored << ", current " << c.current);
    putpixel(depthMap, ++x, 20, c.stored);
    currentDepth = c.current;
    depthTestedPlot(target, x, 20, makecol32(colour.red, colour.green, colour.blue));
    EXPECT_EQ(colourAt(x, 20), c.drawn ? colour : background);
    EXPECT_EQ(depthAt(x, 20), c.depthLeft);
  }
}

TEST_F(DepthTestedPlot, APixelWrittenAtDepthZeroStillCountsAsEmpty) {
  currentDepth = 0;
  depthTestedPlot(target, 30, 40, makecol32(200, 0, 0));
  EXPECT_EQ(colourAt(30, 40), (Rgb{200, 0, 0}));
  EXPECT_EQ(depthAt(30, 40), 0);
  currentDepth = 50;
  depthTestedPlot(target, 30, 40, makecol32(0, 200, 0));
  EXPECT_EQ(colourAt(30, 40), (Rgb{0, 200, 0}));
  EXPECT_EQ(depthAt(30, 40), 50);
}

TEST(ComponentClamp, MaxIntTakesTheLarger) {
  const struct {
    int a, b, larger;
  } cases[] = {{0, -5, 0}, {-5, 0, 0}, {0, 300, 300}, {300, 0, 300}};
  for (const auto& c : cases) {
    EXPECT_EQ(maxInt(c.a, c.b), c.larger) << c.a << ", " << c.b;
  }
}

} // namespace
