// The particle renderer on a 320 x 200 buffer (projection scale and offset 160 and 100), with
// the identity view matrix: a particle's world position is its view-space one.
#include "render/depth_plot.hpp"
#include "render/particle_renderer.hpp"
#include "render_fixture.hpp"
#include "sim/particle.hpp"

#include <cstdint>
#include <utility>

namespace {

constexpr Colour particleColour{200, 100, 50};
constexpr Colour otherColour{100, 200, 150};
constexpr Rgb earlier{1, 2, 3}; // what the pixel showed before the particles

constexpr FunnieSegment centreAt(float depth) {
  return {0.0f, 0.0f, depth}; // lands on pixel (160, 100)
}

class ParticleRendering : public RenderBufferOnEachPath {
protected:
  void SetUp() override {
    RenderBuffer::SetUp();
    resetParticles();
    view = identity_matrix_f;
  }

  void TearDown() override {
    deleteParticles();
    RenderBuffer::TearDown();
  }

  /// Puts a particle at the end of the list, so that the list is walked in the order added.
  static void add(FunnieSegment position, Colour colour = particleColour) {
    Particle** end = &particleList;
    while (*end != nullptr) {
      end = &(*end)->next;
    }
    *end = new Particle{position, {0.0f, 0.0f, 0.0f}, colour, 100, nullptr};
  }

  void render() { renderParticles(target, depthMap, view, GetParam()); }

  void startAgain() {
    deleteParticles();
    clear_to_color(target, makecol(earlier.red, earlier.green, earlier.blue));
    clear_zbuffer(depthMap, 0);
  }

  MATRIX_f view;
};

TEST_P(ParticleRendering, ViewTestExcludesItsBounds) {
  struct ViewCase {
    FunnieSegment position;
    bool drawn;
    int px, py, depth;
  };
  const ViewCase cases[] = {
      {{32.0f, -16.0f, 64.0f}, true, 240, 75, 64},
      {{63.5f, 0.0f, 64.0f}, true, 318, 100, 64},
      {{-63.5f, 0.0f, 64.0f}, true, 1, 100, 64},
      {{1.0f, -2.0f, 64.0f}, true, 162, 96, 64},
      {{-63.8f, -63.8f, 64.0f}, true, 0, 0, 64},   // screen (0.5, 0.3125): the first column
      {{63.8f, 63.8f, 64.0f}, true, 319, 199, 64}, // (319.5, 199.6875): the last
      {{0.0f, 0.0f, 1e-45f}, true, 0, 0, 0}, // 1 / z overflows, 0 * inf is NaN, which truncates
                                             // to 0; the depth truncates to 0 too
      {{64.0f, 0.0f, 64.0f}, false, 0, 0, 0},
      {{-64.0f, 0.0f, 64.0f}, false, 0, 0, 0},
      {{0.0f, -64.0f, 64.0f}, false, 0, 0, 0},
      {{0.0f, 0.0f, 0.0f}, false, 0, 0, 0},
      {{0.0f, 0.0f, -5.0f}, false, 0, 0, 0}};
  for (const ViewCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.position.x << ", " << c.position.y << ", " << c.position.z);
    startAgain();
    add(c.position);
    render();
    EXPECT_EQ(countOtherThan(earlier), c.drawn ? 1 : 0);
    if (c.drawn) {
      EXPECT_FALSE(colourAt(c.px, c.py) == earlier);
      EXPECT_EQ(depthAt(c.px, c.py), c.depth);
    }
  }
}

TEST_P(ParticleRendering, EachParticleInViewIsDrawnWithItsOwnColourWhateverItsNeighbours) {
  // Groups of four in list order take every pattern of in view and behind the camera, and one
  // particle more follows: 65, past a batch of 64. Particle n lands alone on column 10 + 4n of
  // row 100 at depth 64, where x = (column + 0.5 - 160) * 64 / 160 puts it mid-pixel; its
  // green is 239 - 3n once the depth has taken 16 off.
  constexpr int count = 65;
  const auto inView = [](int n) { return n == 64 || ((n / 4) >> (n % 4) & 1) != 0; };
  startAgain();
  int expectedDrawn = 0;
  for (int n = 0; n < count; ++n) {
    const float x = (10 + 4 * n + 0.5f - 160) * 0.4f;
    const auto green = static_cast<std::uint8_t>(255 - 3 * n);
    add({x, 0.0f, inView(n) ? 64.0f : -64.0f}, Colour{0, green, 0});
    expectedDrawn += inView(n) ? 1 : 0;
  }
  render();
  EXPECT_EQ(countOtherThan(earlier), expectedDrawn);
  for (int n = 0; n < count; ++n) {
    SCOPED_TRACE(testing::Message() << "particle " << n);
    if (inView(n)) {
      EXPECT_EQ(colourAt(10 + 4 * n, 100), (Rgb{0, 239 - 3 * n, 0}));
      EXPECT_EQ(depthAt(10 + 4 * n, 100), 64);
    } else {
      EXPECT_EQ(colourAt(10 + 4 * n, 100), earlier);
    }
  }
}

TEST_P(ParticleRendering, ExactDepthMeetsTheStoredInteger) {
  struct DepthCase {
    int stored;
    float depth;
    bool drawn;
    int storedAfter;
  };
  const DepthCase cases[] = {{0, 10.5f, true, 10},   {0, 0.5f, true, 0},     {0, 300.0f, true, 300},
                             {10, 10.0f, false, 10}, {10, 10.5f, false, 10}, {10, 9.9f, true, 9},
                             {11, 10.5f, true, 10}};
  for (const DepthCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "stored " << c.stored << ", depth " << c.depth);
    startAgain();
    putpixel(depthMap, 160, 100, c.stored);
    add(centreAt(c.depth));
    render();
    EXPECT_EQ(colourAt(160, 100) == earlier, !c.drawn);
    EXPECT_EQ(depthAt(160, 100), c.storedAfter);
  }
}

TEST_P(ParticleRendering, ParticlesSharingAPixelMeetInListOrder) {
  struct PairCase {
    float first, second;
    Rgb colour; // first: (200, 100, 50), second: (100, 200, 150), each less depth / 4
    int storedAfter;
  };
  const PairCase cases[] = {{10.7f, 10.2f, {198, 98, 48}, 10},
                            {0.5f, 50.0f, {88, 188, 138}, 50},
                            {50.0f, 20.5f, {95, 195, 145}, 20}};
  for (const PairCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << " then " << c.second);
    startAgain();
    add(centreAt(c.first));
    add(centreAt(c.second), otherColour);
    render();
    EXPECT_EQ(colourAt(160, 100), c.colour);
    EXPECT_EQ(depthAt(160, 100), c.storedAfter);
  }
}

TEST_P(ParticleRendering, ColourLosesAQuarterOfTheDepthClampedAtZero) {
  const std::pair<float, Rgb> cases[] = {
      {130.0f, {168, 68, 18}}, {260.0f, {135, 35, 0}}, {3e38f, {0, 0, 0}}};
  for (const auto& [depth, colour] : cases) {
    startAgain();
    add(centreAt(depth));
    render();
    EXPECT_EQ(colourAt(160, 100), colour) << "depth " << depth;
  }
}

TEST_P(ParticleRendering, SetsTheViewportEvenForAnEmptyListAndLeavesThePlotStateAlone) {
  _persp_xscale_f = _persp_yscale_f = _persp_xoffset_f = _persp_yoffset_f = -1.0f;
  startAgain();
  render();
  EXPECT_EQ(countOtherThan(earlier), 0);
  EXPECT_EQ(_persp_xscale_f, 160.0f);
  EXPECT_EQ(_persp_xoffset_f, 160.0f);
  EXPECT_EQ(_persp_yscale_f, 100.0f);
  EXPECT_EQ(_persp_yoffset_f, 100.0f);

  currentDepthMap = nullptr;
  currentDepth = 77;
  add(centreAt(20.0f));
  render();
  EXPECT_EQ(countOtherThan(earlier), 1);
  EXPECT_EQ(currentDepthMap, nullptr);
  EXPECT_EQ(currentDepth, 77);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, ParticleRendering,
                         testing::Values(PixelPath::reference, PixelPath::fast), pathName);

} // namespace
