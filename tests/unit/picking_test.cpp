// Picking: the nearest funnie whose drawn head disc strictly covers the pointer.
#include "camera/picking.hpp"

#include <allegro.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <initializer_list>
#include <iterator>

namespace {

constexpr float xscale = 160.0f; // a 320-pixel-wide render buffer
constexpr unsigned seed = 1234;

class Picking : public ::testing::Test {
protected:
  void SetUp() override {
    savedXscale = _persp_xscale_f;
    _persp_xscale_f = xscale;
    std::srand(seed);
    Funnie* list = nullptr;
    for (Funnie*& funnie : funnies) {
      funnie = new Funnie(list);
      list = funnie;
    }
  }

  void TearDown() override {
    deleteFunnies(link({funnies[0], funnies[1], funnies[2]}));
    _persp_xscale_f = savedXscale;
  }

  /// Threads the given funnies into a list in this order and returns its first.
  static Funnie* link(std::initializer_list<Funnie*> order) {
    Funnie* next = nullptr;
    for (auto it = std::rbegin(order); it != std::rend(order); ++it) {
      (*it)->next = next;
      next = *it;
    }
    return next;
  }

  /// Gives a funnie a body of `segmentCount` segments and a head drawn at (x, y), `depth`.
  static void place(Funnie* funnie, int segmentCount, float x, float y, float depth) {
    delete[] funnie->segments;
    funnie->segments = new FunnieSegment[segmentCount]();
    funnie->segmentCount = segmentCount;
    funnie->projectedHead = FunnieSegment{x, y, depth};
  }

  std::array<Funnie*, 3> funnies{};
  float savedXscale = 0.0f;
};

TEST_F(Picking, PointerMustLieStrictlyInsideTheHeadDisc) {
  struct Case {
    int segmentCount;
    float depth;
    int mx, my;
    bool picked;
  };
  // Head drawn at (100, 100). Radii by hand: 10 segments at depth 100 give 5 * 160 * 0.9 / 100
  // = 7.2, so 7; 9 segments at depth 70 give 4 * 160 * (8/9) / 70 = 8.13, so 8 (4.5 instead
  // of 4 would give 9); 23 at 100 give 11 * 160 * (22/23) / 100 = 16.8, so 16 (11.5: 17).
  const Case cases[] = {
      {10, 100, 106, 100, true},   {10, 100, 107, 100, false}, {10, 100, 100, 93, false},
      {10, 100, 104, 105, true},   {10, 100, 105, 105, false}, {9, 70, 107, 100, true},
      {9, 70, 108, 100, false},    {23, 100, 85, 100, true},   {23, 100, 116, 100, false},
      {10, 1e4f, 100, 100, false}, // the radius truncates to 0
      {10, 0, 100, 100, false},    // the head was out of view
  };
  for (const Case& c : cases) {
    place(funnies[0], c.segmentCount, 100.0f, 100.0f, c.depth);
    const Funnie* expected = c.picked ? funnies[0] : nullptr;
    EXPECT_EQ(pickFunnie(link({funnies[0]}), c.mx, c.my), expected)
        << c.segmentCount << " segments, depth " << c.depth << ", pointer " << c.mx << "," << c.my;
  }
}

TEST_F(Picking, NearestCoveringHeadWinsWhateverTheListOrder) {
  Funnie* const near = funnies[0];
  Funnie* const far = funnies[1];
  Funnie* const beside = funnies[2];
  place(near, 10, 100.0f, 100.0f, 50.0f);
  place(far, 10, 102.0f, 100.0f, 100.0f);
  place(beside, 10, 200.0f, 100.0f, 20.0f); // nearest of all but not under the pointer
  EXPECT_EQ(pickFunnie(link({far, near, beside}), 101, 100), near);
  EXPECT_EQ(pickFunnie(link({near, far, beside}), 101, 100), near);
  EXPECT_EQ(pickFunnie(link({beside, far, near}), 101, 100), near);
  EXPECT_EQ(pickFunnie(link({beside, far}), 101, 100), far);
  EXPECT_EQ(pickFunnie(link({far, beside}), 101, 100), far);
}

TEST_F(Picking, EqualDepthsKeepTheListOrder) {
  place(funnies[0], 10, 100.0f, 100.0f, 100.0f);
  place(funnies[1], 12, 101.0f, 100.0f, 100.0f);
  EXPECT_EQ(pickFunnie(link({funnies[0], funnies[1]}), 100, 100), funnies[0]);
  EXPECT_EQ(pickFunnie(link({funnies[1], funnies[0]}), 100, 100), funnies[1]);
}

TEST_F(Picking, EmptySpaceOrAnEmptyListPicksNothing) {
  place(funnies[0], 10, 100.0f, 100.0f, 100.0f);
  place(funnies[1], 10, 200.0f, 50.0f, 80.0f);
  place(funnies[2], 10, 30.0f, 150.0f, 0.0f);
  Funnie* const list = link({funnies[0], funnies[1], funnies[2]});
  EXPECT_EQ(pickFunnie(list, 150, 100), nullptr);
  EXPECT_EQ(pickFunnie(list, 30, 150), nullptr);
  EXPECT_EQ(pickFunnie(nullptr, 100, 100), nullptr);
}

TEST_F(Picking, APressKeepsTheFunnieItSelectedUntilTheNextPress) {
  Funnie* const a = funnies[0];
  Funnie* const b = funnies[1];
  Funnie* const list = link({a, b});
  place(a, 10, 100.0f, 100.0f, 100.0f); // head discs of radius 7
  place(b, 10, 250.0f, 50.0f, 100.0f);
  struct Pass {
    const char* what;
    bool held;
    float aX;   // where a's head is drawn; tracking moves it towards the middle
    int mx, my; // the pointer
    Funnie* expected;
  };
  const Pass passes[] = {
      {"press on a", true, 100.0f, 100, 100, a},
      {"a turned away from the pointer", true, 160.0f, 100, 100, a},
      {"pointer dragged onto b", true, 160.0f, 250, 50, a},
      {"released", false, 160.0f, 250, 50, a},
      {"press on empty sky", true, 160.0f, 20, 180, nullptr},
      {"dragged onto b", true, 160.0f, 250, 50, b},
      {"dragged onto a", true, 160.0f, 160, 100, b},
      {"released over a", false, 160.0f, 160, 100, b},
      {"a press of one pass on a", true, 160.0f, 160, 100, a},
      {"released over empty sky", false, 160.0f, 20, 180, a},
  };
  Funnie* selected = nullptr;
  bool wasHeld = false;
  for (const Pass& pass : passes) {
    a->projectedHead.x = pass.aX;
    a->projectedHead.y = 100.0f;
    a->projectedHead.z = 100.0f;
    selected = selectWithLeftButton(list, selected, pass.held, wasHeld, pass.mx, pass.my);
    wasHeld = pass.held;
    EXPECT_EQ(selected, pass.expected) << pass.what;
  }
}

} // namespace
