// The funnie renderer on a 320 x 200 buffer (projection scale and offset 160 and 100, size
// limit 40), with the identity view matrix: a segment's world position is its view-space one.
#include "render/funnie_renderer.hpp"
#include "render_fixture.hpp"

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

constexpr FunnieSegment centreAt(float depth) {
  return {0.0f, 0.0f, depth};
}
constexpr FunnieSegment behindCamera = centreAt(-10.0f);
constexpr Colour funnieColour{200, 100, 50};

using Placement = std::vector<std::pair<int, FunnieSegment>>;

class FunnieRendering : public RenderBufferOnEachPath {
protected:
  void SetUp() override {
    RenderBuffer::SetUp();
    std::srand(1);
    funnie = new Funnie(nullptr);
    view = identity_matrix_f;
  }

  void TearDown() override {
    deleteFunnies(funnie);
    RenderBuffer::TearDown();
  }

  /// Gives `of` `count` segments, all behind the camera except the placed ones.
  static void shape(Funnie* of, int count, const Placement& placed) {
    delete[] of->segments;
    of->segments = new FunnieSegment[count];
    of->segmentCount = count;
    of->colour = funnieColour;
    for (int i = 0; i < count; ++i) {
      of->segments[i] = behindCamera;
    }
    for (const auto& [index, position] : placed) {
      of->segments[index] = position;
    }
  }

  void render(int count, const Placement& placed) {
    shape(funnie, count, placed);
    renderFunnies(funnie, target, depthMap, view, GetParam());
  }

  Funnie* funnie = nullptr;
  MATRIX_f view;
};

TEST_P(FunnieRendering, CirclesShrinkTowardsTheTailAndTheLastSegmentHasNone) {
  // 16 segments at depth 64 on a 4 x 4 grid of 80 x 50 pixel cells; radius 1.25 * (15 - i).
  constexpr int radii[16] = {18, 17, 16, 15, 13, 12, 11, 10, 8, 7, 6, 5, 3, 2, 1, 0};
  Placement grid;
  for (int i = 0; i < 16; ++i) {
    grid.push_back({i, {-48.0f + 32.0f * (i % 4), -48.0f + 32.0f * (i / 4), 64.0f}});
  }
  render(16, grid);
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(i);
    const int cx = 40 + 80 * (i % 4);
    const int cy = 25 + 50 * (i / 4);
    const int r = radii[i];
    if (i < 15) {
      EXPECT_EQ(static_cast<int>(circleRadius(16, i, 64.0, 160.0)), r);
    }
    EXPECT_EQ(drawnInRow(cy, cx - 40, cx + 40), std::make_pair(r > 0 ? cx - r : -1, 2 * r));
  }
}

TEST_P(FunnieRendering, RadiusFallsWithDepthAndTooLargeCirclesAreLeftOut) {
  struct RadiusCase {
    int count, index;
    float depth;
    int radius;
    bool drawn;
  };
  const RadiusCase cases[] = {{9, 0, 32.0f, 17, true},   {16, 0, 32.0f, 37, true},
                              {16, 0, 16.0f, 75, false}, {16, 0, 30.5f, 39, true},
                              {16, 0, 29.5f, 40, false}, {16, 7, 16.0f, 40, false},
                              {16, 0, 130.0f, 9, true},  {23, 21, 256.0f, 0, true}};
  for (const RadiusCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.count << " segments, circle " << c.index << " at depth " << c.depth);
    clear_to_color(target, makecol(0, 0, 0));
    clear_zbuffer(depthMap, 0);
    render(c.count, {{c.index, centreAt(c.depth)}, {c.index + 1, centreAt(c.depth)}});
    EXPECT_EQ(static_cast<int>(circleRadius(c.count, c.index, c.depth, 160.0)), c.radius);
    if (c.drawn && c.radius > 0) {
      EXPECT_EQ(drawnInRow(100), std::make_pair(160 - c.radius, 2 * c.radius));
      EXPECT_EQ(depthAt(160, 100), static_cast<int>(c.depth));
    } else {
      EXPECT_EQ(drawnCount(), 0);
    }
  }
}

TEST_P(FunnieRendering, HeadIsRecordedWhereItsCircleIsCentred) {
  struct HeadCase {
    FunnieSegment position;
    float screenX, screenY;
    int column, row; // the screen position cut toward zero
  };
  const HeadCase cases[] = {{{32.0f, -16.0f, 64.0f}, 240.0f, 75.0f, 240, 75},
                            {{1.0f, -2.0f, 64.0f}, 162.5f, 96.875f, 162, 96}};
  for (const HeadCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "head on " << c.screenX << ", " << c.screenY);
    clear_to_color(target, makecol(0, 0, 0));
    clear_zbuffer(depthMap, 0);
    funnie->projectedHead = {-1.0f, -1.0f, -1.0f};
    render(16, {{0, c.position}, {1, c.position}});
    EXPECT_EQ(funnie->projectedHead.x, c.screenX);
    EXPECT_EQ(funnie->projectedHead.y, c.screenY);
    EXPECT_EQ(funnie->projectedHead.z, 64.0f);
    EXPECT_EQ(drawnInRow(c.row), std::make_pair(c.column - 18, 36)); // radius 18
    const std::pair<int, bool> alongColumn[] = {{-19, false}, {-18, true}, {18, true}, {19, false}};
    for (const auto& [offset, drawn] : alongColumn) {
      EXPECT_EQ(drawnAt(c.column, c.row + offset), drawn) << "row " << c.row + offset;
    }
  }
}

TEST_P(FunnieRendering, ViewTestIncludesItsBoundsForTheSegmentAndItsTailSideNeighbour) {
  struct BoundCase {
    FunnieSegment position;
    bool inView;
  };
  const BoundCase cases[] = {{{64.0f, -64.0f, 64.0f}, true},
                             {{-64.0f, 64.0f, 64.0f}, true},
                             {{64.5f, 0.0f, 64.0f}, false},
                             {{0.0f, -64.5f, 64.0f}, false},
                             {{0.0f, 0.0f, -0.5f}, false}};
  for (const BoundCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.position.x << ", " << c.position.y << ", " << c.position.z);
    clear_to_color(target, makecol(0, 0, 0));
    clear_zbuffer(depthMap, 0);
    render(16, {{0, c.position}, {1, centreAt(64.0f)}});
    EXPECT_EQ(drawnCount() > 0, c.inView) << "as the head";
    EXPECT_EQ(funnie->projectedHead.z, c.inView ? 64.0f : 0.0f);

    clear_to_color(target, makecol(0, 0, 0));
    clear_zbuffer(depthMap, 0);
    render(16, {{0, centreAt(64.0f)}, {1, c.position}});
    EXPECT_EQ(drawnInRow(100).second, c.inView ? 36 : 0) << "as the tail-side neighbour";
  }
}

TEST_P(FunnieRendering, ColourDarkensWithDepthAndTowardsTheTail) {
  struct ShadeCase {
    int index;
    float depth;
    Rgb colour;
  };
  const ShadeCase cases[] = {
      {3, 130.0f, {156, 56, 6}}, {5, 130.0f, {148, 48, 0}}, {0, 64.0f, {184, 84, 34}}};
  for (const ShadeCase& c : cases) {
    clear_to_color(target, makecol(0, 0, 0));
    clear_zbuffer(depthMap, 0);
    render(16, {{c.index, centreAt(c.depth)}, {c.index + 1, centreAt(c.depth)}});
    EXPECT_EQ(colourAt(160, 100), c.colour) << "index " << c.index << ", depth " << c.depth;
  }
}

TEST_P(FunnieRendering, AtEqualDepthTheCircleNearerTheTailStays) {
  render(16, {{0, centreAt(64.0f)}, {1, centreAt(64.0f)}, {2, centreAt(64.0f)}});
  EXPECT_EQ(colourAt(160, 100), (Rgb{180, 80, 30}));      // circle 1, radius 17, drawn first
  EXPECT_EQ(colourAt(160 - 18, 100), (Rgb{184, 84, 34})); // only circle 0 reaches here
}

TEST_P(FunnieRendering, HeadBehindTheCameraIsNotOnScreenThoughTheBodyIs) {
  funnie->projectedHead = {7.0f, 8.0f, 9.0f};
  render(16, {{0, behindCamera}, {1, centreAt(64.0f)}, {2, centreAt(64.0f)}});
  EXPECT_GT(drawnCount(), 0);
  EXPECT_EQ(funnie->projectedHead.x, 7.0f);
  EXPECT_EQ(funnie->projectedHead.y, 8.0f);
  EXPECT_EQ(funnie->projectedHead.z, 0.0f);
}

TEST_P(FunnieRendering, SegmentsAtOrNextToTheCameraOrFarAwayGetNoCircle) {
  for (const float depth : {0.0f, 1e-30f}) {
    for (const int index : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "segment " << index << " at depth " << depth);
      funnie->projectedHead = {7.0f, 8.0f, 9.0f};
      render(16, {{index, centreAt(depth)}, {index + 1, centreAt(64.0f)}});
      EXPECT_EQ(drawnCount(), 0);
      if (index == 0) {
        EXPECT_EQ(funnie->projectedHead.z, depth);
      }
    }
  }
  // As far away as a float goes the circle shrinks to nothing, and its shade must not overflow.
  render(16, {{5, centreAt(3e38f)}, {6, centreAt(3e38f)}});
  EXPECT_EQ(drawnCount(), 0);
  // The camera's own position still passes the view test as a tail-side neighbour.
  render(16, {{0, centreAt(64.0f)}, {1, centreAt(0.0f)}});
  EXPECT_EQ(drawnInRow(100).second, 36);
}

TEST_P(FunnieRendering, EveryFunnieOfTheListIsDrawnAndAnEmptyListTouchesNothing) {
  const float scaleBefore = _persp_xscale_f;
  _persp_xscale_f = 12345.0f;
  renderFunnies(nullptr, target, depthMap, view, GetParam());
  EXPECT_EQ(_persp_xscale_f, 12345.0f);
  EXPECT_EQ(drawnCount(), 0);
  _persp_xscale_f = scaleBefore;

  funnie->next = new Funnie(nullptr);
  shape(funnie->next, 16, {{0, {32.0f, -16.0f, 64.0f}}, {1, {32.0f, -16.0f, 64.0f}}});
  render(16, {{0, centreAt(64.0f)}, {1, centreAt(64.0f)}});
  EXPECT_EQ(drawnInRow(100).second, 36);
  EXPECT_EQ(drawnInRow(75, 200).second, 36);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, FunnieRendering,
                         testing::Values(PixelPath::reference, PixelPath::fast), pathName);

} // namespace
