// The particle renderer on a 320 x 200 buffer with view space = world space: the exclusive
// view test, the pixel, the exact-depth test against the stored integer, and the shading.
#include "render/particle_renderer.hpp"
#include "render_fixture.hpp"
#include "sim/particle.hpp"

namespace {

constexpr Colour lightGrey{200, 200, 200};
constexpr int centreX = 160;
constexpr int centreY = 100;

class ParticleRendering : public RenderBufferOnEachPath {
protected:
  void SetUp() override {
    RenderBufferOnEachPath::SetUp();
    particleList = nullptr;
  }
  void TearDown() override {
    deleteParticles();
    RenderBufferOnEachPath::TearDown();
  }

  /// Puts a particle in front of the list, so the one added last is drawn first.
  static void addParticle(FunnieSegment position, Colour colour = lightGrey) {
    particleList = new Particle{position, {0.0f, 0.0f, 0.0f}, colour, 100, particleList};
  }

  void renderOnly(FunnieSegment position, int storedDepth = 0) {
    startOver();
    putpixel(depthMap, centreX, centreY, storedDepth);
    addParticle(position);
    render();
  }

  void startOver() {
    deleteParticles();
    clearBuffers();
  }

  void render() { renderParticles(target, depthMap, identity_matrix_f, GetParam()); }
};

TEST_P(ParticleRendering, ViewTestExcludesItsBounds) {
  const struct {
    FunnieSegment position;
    bool drawn;
    int x, y;
  } cases[] = {
      {{32, -16, 64}, true, 240, 75}, {{63.5, 0, 64}, true, 318, 100},
      {{-63.5, 0, 64}, true, 1, 100}, {{0, 63.5, 64}, true, 160, 199},
      {{64, 0, 64}, false, 0, 0},     {{-64, 0, 64}, false, 0, 0},
      {{0, -64, 64}, false, 0, 0},    {{0, 0, 0}, false, 0, 0},
      {{0, 0, -5}, false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.position.x << ", " << c.position.y << ", " << c.position.z);
    renderOnly(c.position);
    EXPECT_EQ(drawnPixelCount(), c.drawn ? 1 : 0);
    if (c.drawn) {
      EXPECT_TRUE(drawnAt(c.x, c.y));
      EXPECT_EQ(depthAt(c.x, c.y), static_cast<int>(c.position.z));
    }
  }
}

TEST_P(ParticleRendering, ExactDepthMeetsTheStoredInteger) {
  const struct {
    int stored;
    float depth;
    bool drawn;
    int depthLeft;
  } cases[] = {{0, 50.0f, true, 50}, {10, 10.0f, false, 10}, {10, 10.5f, false, 10},
               {10, 9.9f, true, 9},  {11, 10.5f, true, 10},  {0, 0.5f, true, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "stored " << c.stored << ", depth " << c.depth);
    renderOnly({0.0f, 0.0f, c.depth}, c.stored);
    EXPECT_EQ(drawnAt(centreX, centreY), c.drawn);
    EXPECT_EQ(depthAt(centreX, centreY), c.depthLeft);
  }
}

TEST_P(ParticleRendering, ParticlesSharingAPixelMeetInListOrder) {
  const struct {
    float firstDepth, secondDepth;
    Rgb colour;
    int depthLeft;
  } cases[] = {{10.7f, 10.2f, {198, 0, 0}, 10}, // the nearer one comes too late
               {0.5f, 50.0f, {0, 188, 0}, 50}}; // below depth 1 the pixel stays empty
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.firstDepth << " then " << c.secondDepth);
    startOver();
    addParticle({0.0f, 0.0f, c.secondDepth}, Colour{0, 200, 0});
    addParticle({0.0f, 0.0f, c.firstDepth}, Colour{200, 0, 0});
    render();
    EXPECT_EQ(colourAt(centreX, centreY), c.colour);
    EXPECT_EQ(depthAt(centreX, centreY), c.depthLeft);
  }
}

TEST_P(ParticleRendering, ColourLosesAQuarterOfTheDepthClampedAtZero) {
  const struct {
    float depth;
    Rgb colour;
  } cases[] = {{130.0f, {168, 68, 18}}, {260.0f, {135, 35, 0}}};
  for (const auto& c : cases) {
    startOver();
    addParticle({0.0f, 0.0f, c.depth}, Colour{200, 100, 50});
    render();
    EXPECT_EQ(colourAt(centreX, centreY), c.colour) << c.depth;
  }
}

TEST_P(ParticleRendering, AnEmptyListStillSetsTheViewport) {
  _persp_xscale_f = _persp_yscale_f = _persp_xoffset_f = _persp_yoffset_f = 12345.0f;
  render();
  EXPECT_EQ(_persp_xscale_f, 160.0f);
  EXPECT_EQ(_persp_xoffset_f, 160.0f);
  EXPECT_EQ(_persp_yscale_f, 100.0f);
  EXPECT_EQ(_persp_yoffset_f, 100.0f);
  EXPECT_EQ(drawnPixelCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, ParticleRendering,
                         testing::Values(PixelPath::fast, PixelPath::reference), pathName);

} // namespace
