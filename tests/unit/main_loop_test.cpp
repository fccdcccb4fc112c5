// The tick rules of the main loop and the background colour.
#include "app/main_loop.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct TickRules : ::testing::Test {
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    tickCounter.store(0);
    quitFlag.store(false);
    key[KEY_P] = 0;
    key[KEY_ESC] = 0;
  }
};

TEST_F(TickRules, EveryCountedTickRunsAndACatchUpHasNoLimit) {
  for (int counted : {0, 1, 3, 1000}) {
    tickCounter.store(counted);
    int run = 0;
    runPendingTicks([&] { ++run; });
    EXPECT_EQ(run, counted);
    EXPECT_EQ(tickCounter.load(), 0);
  }
}

TEST_F(TickRules, PauseThrowsTheCountAwayAndRunsNone) {
  tickCounter.store(7);
  key[KEY_P] = -1;
  int run = 0;
  runPendingTicks([&] { ++run; });
  EXPECT_EQ(run, 0);
  EXPECT_EQ(tickCounter.load(), 0);
}

TEST_F(TickRules, ATickCountedDuringATickIsKept) {
  tickCounter.store(2);
  int run = 0;
  runPendingTicks([&] {
    if (run++ == 0) {
      tickCounter.fetch_add(1); // the timer fires while the first tick runs
    }
  });
  EXPECT_EQ(run, 3);
}

TEST_F(TickRules, QuitOrEscapeStopsTheTicksAtOnce) {
  for (bool byEscape : {false, true}) {
    reset();
    tickCounter.store(5);
    int run = 0;
    runPendingTicks([&] {
      if (++run == 2) {
        if (byEscape) {
          key[KEY_ESC] = -1;
        } else {
          quitFlag.store(true);
        }
      }
    });
    EXPECT_EQ(run, 2) << (byEscape ? "escape" : "close button");
    EXPECT_EQ(tickCounter.load(), 3);
    EXPECT_TRUE(quitRequested());
  }
}

TEST(Background, BlueFollowsThePitch) {
  const struct { int pitch, blue; } cases[] = {{-63, 1}, {0, 64}, {63, 127}, {-64, 0}, {64, 128}};
  for (const auto& c : cases) {
    const int colour = backgroundColour(c.pitch);
    EXPECT_EQ(getr32(colour), 0);
    EXPECT_EQ(getg32(colour), 0);
    EXPECT_EQ(getb32(colour), c.blue) << "pitch " << c.pitch;
  }
}

TEST(TrackSelection, WritesLineFourAndTurnsTheCameraOnlyWithASelection) {
  constexpr int lineFourTop = 30;
  constexpr int fontHeight = 8;
  const int scene = makecol(30, 90, 160);
  World world;
  world.renderBuffer = create_bitmap(320, 48);
  std::srand(7);
  Funnie funnie(nullptr);
  funnie.segments[0] = FunnieSegment{100.0f, 0.0f, 0.0f}; // a quarter turn to the side
  /// Pixels of line 4's rows that no longer show the scene.
  const auto lineFourPixels = [&] {
    int count = 0;
    for (int y = lineFourTop; y < lineFourTop + fontHeight; ++y) {
      for (int x = 0; x < world.renderBuffer->w; ++x) {
        count += getpixel(world.renderBuffer, x, y) != scene ? 1 : 0;
      }
    }
    return count;
  };

  clear_to_color(world.renderBuffer, scene);
  trackSelection(world);
  EXPECT_EQ(lineFourPixels(), 0);
  EXPECT_EQ(world.camera.yaw, 0);

  world.selectedFunnie = &funnie;
  trackSelection(world);
  EXPECT_GT(lineFourPixels(), 0);
  EXPECT_EQ(world.camera.yaw, 64);
  EXPECT_EQ(world.camera.pitch, 0);
  destroy_bitmap(world.renderBuffer);
}

} // namespace
