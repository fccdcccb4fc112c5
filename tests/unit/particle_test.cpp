// Emission with its fixed-point drift, the list order, expiry and release of the particles.
#include "sim/particle.hpp"

#include "seed_search.hpp"

#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <vector>

namespace {

constexpr unsigned emissionSeed = 777;
constexpr Colour teal{0, 128, 128};

/// A seed whose draw number `drawIndex` (0 = x, 1 = y, 2 = z) gives `angle`. A seed giving
/// all three wanted angles at once would take millions of tries; one axis at a time, with the
/// other two components checked elsewhere, takes a few hundred.
unsigned seedForAngle(int drawIndex, int angle) {
  constexpr int fullTurn = 256;
  std::vector<int> draws(drawIndex, anyDraw);
  draws.push_back(angle);
  return seedForDraws(fullTurn, draws);
}

std::vector<Particle*> particles() {
  std::vector<Particle*> all;
  for (Particle* particle = particleList; particle != nullptr; particle = particle->next) {
    all.push_back(particle);
  }
  return all;
}

/// A tenth of offset + velocity in whole 1/65536 steps, cut toward zero, worked in integers.
double expectedDrift(fixed offset, float velocity) {
  const long fixedVelocity = std::lround(static_cast<double>(velocity) * 65536.0);
  return static_cast<double>((offset + fixedVelocity) / 10) / 65536.0;
}

float& component(FunnieSegment& point, int axis) {
  return axis == 0 ? point.x : axis == 1 ? point.y : point.z;
}

struct Particles : ::testing::Test {
  void SetUp() override { deleteParticles(); }
  void TearDown() override { deleteParticles(); }
};

struct DriftCase {
  int axis;
  float velocity;
  int angle;
  double expected;
};

// cos 0 = 1, sin 64 = 1, sin 192 = -1, cos 128 = -1, sin 0 = 0, so the tenths in 65536ths are
// 39321.6, -26214.4, -6553.6, -39321.6, 19660.8 and 6553.6: cut toward zero, neither rounded
// (39322) nor floored (-26215).
const DriftCase driftCases[] = {
    {0, 5, 0, 0.5999908447265625},    {1, -5, 64, -0.399993896484375},
    {2, 0, 192, -0.0999908447265625}, {0, -5, 128, -0.5999908447265625},
    {1, 3, 0, 0.29998779296875},      {2, 0, 64, 0.0999908447265625},
};

TEST_F(Particles, DriftIsATenthOfVelocityPlusOffsetCutTowardZero) {
  for (const DriftCase& c : driftCases) {
    FunnieSegment velocity{0, 0, 0};
    component(velocity, c.axis) = c.velocity;
    std::srand(seedForAngle(c.axis, c.angle));
    emitParticles({0, 0, 0}, velocity, teal, 1);
    EXPECT_EQ(component(particleList->velocity, c.axis), c.expected) << "axis " << c.axis;
    deleteParticles();
  }
}

TEST_F(Particles, EachParticleDrawsItsXYZAnglesInTurnAndTheNewestComesFirst) {
  const FunnieSegment velocities[] = {{5, -5, 0}, {-3, 2, 4}, {1, 0, -1}, {0.3f, -2.7f, 1.5f}};
  for (unsigned seed = 1; seed <= 40; ++seed) {
    const FunnieSegment& velocity = velocities[seed % 4];
    std::srand(seed);
    int angles[9];
    for (int& angle : angles) {
      angle = std::rand() % 256;
    }
    std::srand(seed);
    for (float x : {1.0f, 2.0f, 3.0f}) {
      emitParticles({x, 2, 3}, velocity, teal, 1);
    }
    const std::vector<Particle*> list = particles();
    ASSERT_EQ(list.size(), 3u);
    for (std::size_t n = 0; n < 3; ++n) {
      const Particle& p = *list[2 - n]; // the first emitted is last in the list
      const int* a = &angles[3 * n];
      EXPECT_EQ(p.velocity.x, expectedDrift(fixcos(itofix(a[0])), velocity.x)) << seed;
      EXPECT_EQ(p.velocity.y, expectedDrift(fixsin(itofix(a[1])), velocity.y)) << seed;
      EXPECT_EQ(p.velocity.z, expectedDrift(fixsin(itofix(a[2])), velocity.z)) << seed;
      EXPECT_EQ(p.position.x, n + 1);
      EXPECT_EQ(p.position.z, 3);
      EXPECT_EQ(p.colour.green, 128);
      EXPECT_EQ(p.life, 100);
    }
    deleteParticles();
  }
}

TEST_F(Particles, NoCountAddsNothingAndDrawsNothing) {
  for (int count : {0, -1, -1000}) {
    std::srand(emissionSeed);
    const int firstDraw = std::rand();
    std::srand(emissionSeed);
    emitParticles({0, 0, 0}, {1, 1, 1}, teal, count);
    EXPECT_EQ(particleList, nullptr) << count;
    EXPECT_EQ(std::rand(), firstDraw) << count;
  }
}

// Lives in list order before one update; the ones at 1 go, the others move and keep their order.
const std::vector<int> lifePatterns[] = {
    {1}, {1, 1, 1}, {2, 1, 1, 3}, {1, 2, 1, 1, 2, 1}, {1, 1, 5}, {7, 1, 1}, {4, 3, 2},
};

TEST_F(Particles, ExpiredParticlesLeaveAndTheRestStayLinkedInOrder) {
  for (const std::vector<int>& lives : lifePatterns) {
    for (std::size_t n = lives.size(); n-- > 0;) {
      emitParticles({static_cast<float>(n), 0, 0}, {0, 0, 0}, teal, 1);
      particleList->velocity = {0.5f, 0, -0.25f};
      particleList->life = lives[n];
    }
    updateParticles();
    std::vector<Particle*> list = particles();
    for (std::size_t n = 0; n < lives.size(); ++n) {
      if (lives[n] > 1) {
        ASSERT_FALSE(list.empty()) << "particle " << n << " went too";
        EXPECT_EQ(list.front()->position.x, n + 0.5f);
        EXPECT_EQ(list.front()->position.z, -0.25f);
        EXPECT_EQ(list.front()->life, lives[n] - 1);
        list.erase(list.begin());
      }
    }
    EXPECT_TRUE(list.empty()) << "an expired particle stayed";
    deleteParticles();
  }
}

TEST_F(Particles, AParticleMovesAHundredTimesAndIsGoneAfterItsHundredthUpdate) {
  emitParticles({0, 0, 0}, {0, 0, 0}, teal, 1);
  particleList->velocity = {0.5f, -0.25f, 0};
  for (int update = 0; update < 99; ++update) {
    updateParticles();
  }
  ASSERT_NE(particleList, nullptr);
  EXPECT_EQ(particleList->life, 1);
  EXPECT_EQ(particleList->position.x, 49.5f);
  EXPECT_EQ(particleList->position.y, -24.75f);
  updateParticles();
  EXPECT_EQ(particleList, nullptr);
}

TEST_F(Particles, DeleteEmptiesAndResetOnlyForgets) {
  deleteParticles();
  EXPECT_EQ(particleList, nullptr);
  emitParticles({0, 0, 0}, {0, 0, 0}, teal, 2);
  Particle* const kept = particleList;
  resetParticles();
  EXPECT_EQ(particleList, nullptr);
  particleList = kept; // had reset released them, the sanitizer would flag this walk and release
  EXPECT_EQ(particles().size(), 2u);
  deleteParticles();
  EXPECT_EQ(particleList, nullptr);
}

} // namespace
