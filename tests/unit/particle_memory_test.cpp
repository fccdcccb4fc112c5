// Where the particles live: consecutive emissions in neighbouring slots, expired slots handed
// to new particles oldest first, no growth at the swarm's steady state, growth past it, and
// every slot back to the heap when the particles are released.
#include "sim/funnie.hpp"
#include "sim/particle.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr Colour amber{255, 191, 0};
constexpr int firstChunkSlots = 256 * 100; // a swarm of 256 at its fullest
/// 3 floats, 3 floats, 3 bytes of colour and one of padding, the int, the pointer.
constexpr long slotBytes = 12 + 12 + 4 + 4 + sizeof(void*);

std::vector<Particle*> listed() {
  std::vector<Particle*> all;
  for (Particle* p = particleList; p != nullptr; p = p->next) {
    all.push_back(p);
  }
  return all;
}

/// How far `later` lies beyond `earlier` in memory, in bytes.
long distance(const Particle* earlier, const Particle* later) {
  return reinterpret_cast<const char*>(later) - reinterpret_cast<const char*>(earlier);
}

void emit(int count) {
  emitParticles({0, 0, 0}, {1, 2, 3}, amber, count);
}

struct ParticleMemory : ::testing::Test {
  void SetUp() override { deleteParticles(); }
  void TearDown() override { deleteParticles(); }
};

TEST_F(ParticleMemory, SlotsAreTheRecordWithNothingBetween) {
  EXPECT_EQ(particleSlots().slotSize, static_cast<std::size_t>(slotBytes));
}

TEST_F(ParticleMemory, TheNewestFirstListRunsDownThroughNeighbouringSlots) {
  emit(6);
  const std::vector<Particle*> list = listed();
  ASSERT_EQ(list.size(), 6u);
  for (std::size_t n = 0; n + 1 < list.size(); ++n) {
    EXPECT_EQ(distance(list[n], list[n + 1]), -slotBytes) << n;
  }
}

TEST_F(ParticleMemory, NewParticlesTakeTheSlotsOfTheExpiredOnesInTheOrderTheyWent) {
  emit(firstChunkSlots); // every slot of the first chunk taken
  const std::vector<Particle*> full = listed();
  const std::size_t expiring[] = {3, 4, 100, 25000}; // in list order: released in this order
  for (std::size_t n : expiring) {
    full[n]->life = 1;
  }
  updateParticles();
  emit(4);
  const std::vector<Particle*> now = listed();
  for (std::size_t n = 0; n < 4; ++n) {
    EXPECT_EQ(now[3 - n], full[expiring[n]]) << "emission " << n; // newest first
  }
  EXPECT_EQ(particleSlots().chunkCount, 1);
}

TEST_F(ParticleMemory, ASwarmAtSteadyStateStaysInItsFirstChunkTickByTick) {
  std::srand(31);
  Funnie* swarm = createFunnies(256);
  for (int tick = 0; tick < 300; ++tick) {
    updateFunnies(swarm);
    updateParticles();
    ASSERT_EQ(particleSlots().chunkCount, 1) << "tick " << tick;
  }
  deleteFunnies(swarm);
  const std::vector<Particle*> list = listed();
  ASSERT_EQ(list.size(), 256u * 99u);
  // The 256 particles of one tick stand together in the list and in 256 neighbouring slots.
  for (std::size_t n = 0; n + 1 < list.size(); ++n) {
    if (list[n]->life == list[n + 1]->life) {
      ASSERT_EQ(std::labs(distance(list[n], list[n + 1])), slotBytes) << n;
    } else {
      ASSERT_EQ(n % 256, 255u) << "a tick's particles are split";
    }
  }
}

TEST_F(ParticleMemory, MoreParticlesThanTheFirstChunkGrowThePoolByAWholeChunk) {
  emit(firstChunkSlots + 1);
  EXPECT_EQ(particleSlots().chunkCount, 2);
  std::vector<Particle*> list = listed();
  std::sort(list.begin(), list.end());
  for (std::size_t n = 0; n + 1 < list.size(); ++n) {
    ASSERT_GE(distance(list[n], list[n + 1]), slotBytes) << "two particles overlap";
  }
}

TEST_F(ParticleMemory, ReleasingEveryParticleGivesEverySlotBack) {
  emit(firstChunkSlots + 1);
  deleteParticles();
  EXPECT_EQ(particleSlots().chunkCount, 0);
  EXPECT_EQ(particleSlots().slotsInUse, 0);
  emit(1);
  for (int update = 0; update < 100; ++update) {
    updateParticles();
  }
  EXPECT_EQ(particleList, nullptr);
  EXPECT_EQ(particleSlots().chunkCount, 0) << "the last expiry gives the slots back too";
}

} // namespace
