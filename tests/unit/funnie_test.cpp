// Creation, random walk, containment, speed limit, trail and emission of the funnies.
#include "sim/funnie.hpp"

#include "seed_search.hpp"
#include "sim/particle.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr unsigned creationSeed = 4242;
constexpr int drawsPerTick = 6; // three steps of the walk, three angles of the particle

struct Steps {
  int x, y, z;
};

/// A seed whose first three draws give these random-walk steps, so one tick can be predicted.
unsigned seedForSteps(Steps steps) {
  constexpr int choices = 3; // a step of -1, 0 or 1 is a draw % 3 less 1
  return seedForDraws(choices, {steps.x + 1, steps.y + 1, steps.z + 1});
}

/// The draw that follows the first `skipped` ones of `seed`.
int drawAfter(unsigned seed, int skipped) {
  std::srand(seed);
  for (int n = 0; n < skipped; ++n) {
    std::rand();
  }
  return std::rand();
}

int particleCount() {
  int count = 0;
  for (const Particle* particle = particleList; particle != nullptr; particle = particle->next) {
    ++count;
  }
  return count;
}

void expectPoint(const FunnieSegment& actual, FunnieSegment expected) {
  EXPECT_EQ(actual.x, expected.x);
  EXPECT_EQ(actual.y, expected.y);
  EXPECT_EQ(actual.z, expected.z);
}

struct Funnies : ::testing::Test {
  void SetUp() override { deleteParticles(); }
  void TearDown() override { deleteParticles(); }
};

TEST_F(Funnies, CreationDrawsLengthThenRedGreenBlueAndStartsAtRest) {
  int shortest = maxSegmentCount, longest = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    std::srand(seed);
    const int count = std::rand() % 16 + 8;
    const int drawn[] = {std::rand() % 256, std::rand() % 256, std::rand() % 256};
    const int afterCreation = std::rand();
    std::srand(seed);
    Funnie funnie(nullptr);
    EXPECT_EQ(std::rand(), afterCreation) << "creation draws exactly four numbers";
    ASSERT_EQ(funnie.segmentCount, count);
    shortest = std::min(shortest, count);
    longest = std::max(longest, count);
    for (int i = 0; i < funnie.segmentCount; ++i) {
      expectPoint(funnie.segments[i], {0, 0, 0});
    }
    expectPoint(funnie.velocity, {0, 0, 0});
    // Within one of the exact ratio: that is all the order of the draws needs; the
    // brightening's own rounding is checked with the colours.
    const int largest = std::max({drawn[0], drawn[1], drawn[2]});
    const int got[] = {funnie.colour.red, funnie.colour.green, funnie.colour.blue};
    for (int c = 0; c < 3 && largest > 0; ++c) {
      const int exact = drawn[c] * 255 / largest;
      EXPECT_TRUE(got[c] == exact || got[c] == exact - 1)
          << "seed " << seed << " component " << c << ": " << drawn[c] << " -> " << got[c];
    }
  }
  EXPECT_EQ(shortest, 8);
  EXPECT_EQ(longest, 23);
}

TEST_F(Funnies, CreateFunniesPutsTheLastCreatedFirstAndAnEmptyListIsHarmless) {
  constexpr int count = 6;
  std::vector<int> lengths;
  lengths.reserve(count);
  for (int n = 0; n < count; ++n) {
    lengths.push_back(drawAfter(creationSeed, 4 * n) % 16 + 8); // four draws per funnie
  }
  std::srand(creationSeed);
  Funnie* list = createFunnies(count);
  int n = count;
  for (const Funnie* funnie = list; funnie != nullptr; funnie = funnie->next) {
    ASSERT_GT(n, 0) << "more funnies than asked for";
    EXPECT_EQ(funnie->segmentCount, lengths[--n]);
  }
  EXPECT_EQ(n, 0);
  deleteFunnies(list);
  const int firstDraw = drawAfter(creationSeed, 0);
  std::srand(creationSeed);
  EXPECT_EQ(createFunnies(0), nullptr);
  updateFunnies(nullptr);
  deleteFunnies(nullptr);
  EXPECT_EQ(std::rand(), firstDraw);
  EXPECT_EQ(particleList, nullptr);
}

struct TickCase {
  FunnieSegment head;
  FunnieSegment velocity;
  Steps steps;
  FunnieSegment expectedVelocity;
};

// 512 is inside; 296 on every axis is 512.69 away, 295 is 510.96; 300, 400, 0 is 500. Where a
// component passes 5, the push comes before the cut: 6 pushed back is 5, not 4. The distance is
// the one before the move: 510 heading out is not pushed, 513 heading in is.
const TickCase tickCases[] = {
    {{512, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
    {{513, 0, 0}, {0, 0, 0}, {0, 0, 0}, {-1, 0, 0}},
    {{0, -513, 0}, {0, 0, 0}, {1, 0, -1}, {1, 1, -1}},
    {{296, -296, 296}, {0, 0, 0}, {0, 0, 0}, {-1, 1, -1}},
    {{295, -295, 295}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
    {{300, 400, 0}, {2, -3, 4}, {1, 1, -1}, {3, -2, 3}},
    {{600, 0, 0}, {5, 0, 0}, {-1, 0, 0}, {3, 0, 0}},
    {{0, 0, 0}, {5, -5, 5}, {1, -1, 1}, {5, -5, 5}},
    {{600, 0, -600}, {5, 0, -5}, {1, 0, -1}, {5, 0, -5}},
    {{-600, 0, 0}, {5, 0, 0}, {1, 0, 0}, {5, 0, 0}},
    {{510, 0, 0}, {5, 0, 0}, {0, 0, 0}, {5, 0, 0}},
    {{513, 0, 0}, {-3, 0, 0}, {0, 0, 0}, {-4, 0, 0}},
};

TEST_F(Funnies, StepThenContainmentThenSpeedLimitThenMoveThenOneParticle) {
  for (const TickCase& c : tickCases) {
    SCOPED_TRACE(testing::Message() << "head " << c.head.x << ' ' << c.head.y << ' ' << c.head.z);
    deleteParticles();
    Funnie funnie(nullptr);
    funnie.segments[0] = c.head;
    funnie.velocity = c.velocity;
    const unsigned seed = seedForSteps(c.steps);
    const int afterTick = drawAfter(seed, drawsPerTick);
    std::srand(seed);
    funnie.update();
    EXPECT_EQ(std::rand(), afterTick);
    expectPoint(funnie.velocity, c.expectedVelocity);
    const FunnieSegment& v = c.expectedVelocity;
    const FunnieSegment moved{c.head.x + v.x, c.head.y + v.y, c.head.z + v.z};
    expectPoint(funnie.segments[0], moved);
    expectPoint(funnie.segments[1], c.head);
    ASSERT_EQ(particleCount(), 1);
    expectPoint(particleList->position, moved);
    // A tenth of the limited velocity, give or take the random offset's tenth.
    EXPECT_NEAR(particleList->velocity.x, v.x / 10, 0.1);
    EXPECT_NEAR(particleList->velocity.y, v.y / 10, 0.1);
    EXPECT_NEAR(particleList->velocity.z, v.z / 10, 0.1);
  }
}

TEST_F(Funnies, TrailHoldsTheHeadsEarlierPositionsAndEachTickShedsOneParticle) {
  std::srand(creationSeed);
  Funnie funnie(nullptr);
  std::vector<FunnieSegment> heads{{0, 0, 0}}; // heads[t]: the head after tick t
  for (int k = 1; k < funnie.segmentCount; ++k) {
    funnie.update();
    heads.push_back(funnie.segments[0]);
    ASSERT_EQ(particleCount(), k);
    expectPoint(particleList->position, funnie.segments[0]);
    EXPECT_EQ(particleList->life, 100);
    EXPECT_EQ(particleList->colour.blue, funnie.colour.blue);
    for (int i = 1; i < funnie.segmentCount; ++i) {
      SCOPED_TRACE(testing::Message() << "tick " << k << " segment " << i);
      expectPoint(funnie.segments[i], i <= k ? heads[k - i] : FunnieSegment{0, 0, 0});
    }
  }
}

TEST_F(Funnies, ParticleCountReachesTheSteadyStateOnTheNinetyNinthTick) {
  constexpr int funnieCount = 256;
  constexpr int lastTick = 150;
  std::srand(creationSeed);
  Funnie* list = createFunnies(funnieCount);
  for (int tick = 1; tick <= lastTick; ++tick) {
    updateFunnies(list);
    updateParticles();
    ASSERT_EQ(particleCount(), funnieCount * std::min(tick, 99)) << "tick " << tick;
  }
  EXPECT_EQ(particleCount(), 25344);
  deleteFunnies(list);
}

} // namespace
