// The funnie renderer on a 320 x 200 buffer with view space = world space: which segments get
// circles, how large, where and in what colour, and what each head leaves for picking.
#include "render/funnie_renderer.hpp"
#include "render_fixture.hpp"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr FunnieSegment behindCamera{0.0f, 0.0f, -10.0f};
constexpr FunnieSegment staleHead{11.0f, 22.0f, 33.0f}; // what the last frame left
constexpr Colour lightGrey{200, 200, 200};
constexpr double halfWidth = 160.0; // the projection's x scale for a 320-wide buffer
constexpr float sentinelScale = 12345.0f;

/// A funnie of `count` segments, all behind the camera until a test places some.
std::unique_ptr<Funnie> makeFunnie(int count, Colour colour = lightGrey) {
  auto funnie = std::make_unique<Funnie>(nullptr);
  delete[] funnie->segments;
  funnie->segments = new FunnieSegment[count];
  std::fill_n(funnie->segments, count, behindCamera);
  funnie->segmentCount = count;
  funnie->colour = colour;
  funnie->projectedHead = staleHead;
  return funnie;
}

class FunnieRendering : public RenderBufferOnEachPath {
protected:
  void SetUp() override {
    RenderBufferOnEachPath::SetUp();
    std::srand(1);
  }

  void render(Funnie& funnie) {
    clearBuffers();
    renderFunnie(&funnie, target, depthMap, identity_matrix_f, GetParam());
  }

  /// The circle of `radius` centred on (x, y) is the only thing drawn on its rows.
  void expectCircle(int x, int y, int radius) {
    EXPECT_EQ(drawnColumns(y), std::make_pair(x - radius, x + radius));
    if (radius < 2) {
      EXPECT_EQ(drawnPixelCount(), 2 * radius); // radius 1: only the centre row
      return;
    }
    EXPECT_NE(drawnColumns(y - radius), std::make_pair(0, 0));
    EXPECT_NE(drawnColumns(y + radius), std::make_pair(0, 0));
    EXPECT_EQ(drawnColumns(y - radius - 1), std::make_pair(0, 0));
    EXPECT_EQ(drawnColumns(y + radius + 1), std::make_pair(0, 0));
  }

  void expectHeadNotOnScreen(const Funnie& funnie) {
    EXPECT_EQ(funnie.projectedHead.z, 0.0f);
    EXPECT_EQ(funnie.projectedHead.x, staleHead.x);
    EXPECT_EQ(funnie.projectedHead.y, staleHead.y);
  }
};

TEST_P(FunnieRendering, RadiusShrinksTowardsTheTailAndWithDepth) {
  const struct {
    int count, index;
    float depth;
    int radius;
    bool drawn;
  } cases[] = {{16, 0, 64, 18, true}, {16, 7, 64, 10, true}, {16, 14, 64, 1, true},
               {9, 0, 32, 17, true},  {16, 0, 32, 37, true}, {16, 0, 16, 75, false},
               {16, 7, 16, 40, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.count << " segments, index " << c.index);
    EXPECT_EQ(static_cast<int>(circleRadius(c.count, c.index, c.depth, halfWidth)), c.radius);
    auto funnie = makeFunnie(c.count);
    funnie->segments[c.index] = {0.0f, 0.0f, c.depth};
    funnie->segments[c.index + 1] = {c.depth / 2, -c.depth / 4, c.depth}; // lands on (240, 75)
    render(*funnie);
    EXPECT_FALSE(drawnAt(240, 75)); // the neighbour's own neighbour is behind the camera
    if (c.drawn) {
      expectCircle(160, 100, c.radius);
    } else {
      EXPECT_EQ(drawnPixelCount(), 0);
    }
  }
}

TEST_P(FunnieRendering, HeadIsRecordedWhereItsCircleIsCentred) {
  auto funnie = makeFunnie(16);
  funnie->segments[0] = {32.0f, -16.0f, 64.0f};
  funnie->segments[1] = {0.0f, 0.0f, 64.0f};
  render(*funnie);
  EXPECT_FLOAT_EQ(funnie->projectedHead.x, 240.0f);
  EXPECT_FLOAT_EQ(funnie->projectedHead.y, 75.0f);
  EXPECT_FLOAT_EQ(funnie->projectedHead.z, 64.0f);
  expectCircle(240, 75, 18);
}

TEST_P(FunnieRendering, ViewTestIncludesItsBoundsAndNeedsTheTailSideNeighbour) {
  constexpr int none = -1;
  const struct {
    FunnieSegment head, neighbour;
    bool headSeen;
    int drawnX, drawnY; // a pixel of the head's circle, or none when nothing is drawn
  } cases[] = {
      {{64, -64, 64}, {0, 0, 64}, true, bufferWidth - 1, 0},  // centred on (320, 0)
      {{-64, 64, 64}, {0, 0, 64}, true, 0, bufferHeight - 1}, // centred on (0, 200)
      {{64.5, 0, 64}, {0, 0, 64}, false, none, none},
      {{0, 0, -0.5}, {0, 0, 64}, false, none, none},
      {{0, 0, 64}, {64.5, 0, 64}, true, none, none},
      {{0, 0, 64}, {0, 0, -0.5}, true, none, none},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.head.x << ", " << c.head.y << ", " << c.head.z);
    auto funnie = makeFunnie(16);
    funnie->segments[0] = c.head;
    funnie->segments[1] = c.neighbour;
    render(*funnie);
    if (c.headSeen) {
      EXPECT_EQ(funnie->projectedHead.z, c.head.z);
    } else {
      expectHeadNotOnScreen(*funnie);
    }
    if (c.drawnX == none) {
      EXPECT_EQ(drawnPixelCount(), 0);
    } else {
      EXPECT_TRUE(drawnAt(c.drawnX, c.drawnY));
    }
  }
}

TEST_P(FunnieRendering, ColourDarkensWithDepthAndTowardsTheTail) {
  const struct {
    int index;
    float depth;
    Rgb colour;
  } cases[] = {{3, 130.0f, {156, 56, 6}}, {3, 130.9f, {156, 56, 6}}, {5, 130.0f, {148, 48, 0}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "index " << c.index << ", depth " << c.depth);
    auto funnie = makeFunnie(16, Colour{200, 100, 50});
    funnie->segments[c.index] = funnie->segments[c.index + 1] = {0.0f, 0.0f, c.depth};
    render(*funnie);
    EXPECT_EQ(colourAt(160, 100), c.colour);
    EXPECT_EQ(depthAt(160, 100), 130);
  }
}

TEST_P(FunnieRendering, HeadBehindTheCameraIsNotOnScreenThoughTheBodyIs) {
  auto funnie = makeFunnie(16);
  std::fill_n(funnie->segments + 1, 15, FunnieSegment{0.0f, 0.0f, 64.0f});
  render(*funnie);
  EXPECT_GT(drawnPixelCount(), 0);
  expectHeadNotOnScreen(*funnie);
}

TEST_P(FunnieRendering, SegmentsAtOrNextToTheCameraGetNoCircle) {
  for (float depth : {1e-30f, 0.0f}) {
    for (int index : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "depth " << depth << ", index " << index);
      auto funnie = makeFunnie(16);
      funnie->segments[index] = {0.0f, 0.0f, depth};
      funnie->segments[index + 1] = {0.0f, 0.0f, 64.0f};
      render(*funnie);
      EXPECT_EQ(drawnPixelCount(), 0);
      if (index == 0 && depth == 0.0f) {
        expectHeadNotOnScreen(*funnie); // the camera's own position has no screen position
      }
    }
  }
}

TEST_P(FunnieRendering, AnEmptyListTouchesNothing) {
  _persp_xscale_f = sentinelScale;
  renderFunnies(nullptr, target, depthMap, identity_matrix_f, GetParam());
  EXPECT_EQ(_persp_xscale_f, sentinelScale);
  EXPECT_EQ(drawnPixelCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, FunnieRendering,
                         testing::Values(PixelPath::fast, PixelPath::reference), pathName);

} // namespace
