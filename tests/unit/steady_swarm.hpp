// A seeded swarm taken to its steady state, for the tests that draw a realistic frame.
#pragma once

#include "sim/funnie.hpp"
#include "sim/particle.hpp"

#include <cstdlib>

/// `count` funnies from `seed`, run for 120 ticks: past the 100 after which the first
/// particles expire, so the particle list holds its steady count.
inline Funnie* steadySwarm(unsigned seed, int count) {
  constexpr int ticks = 120;
  std::srand(seed);
  resetParticles();
  Funnie* funnies = createFunnies(count);
  for (int tick = 0; tick < ticks; ++tick) {
    updateFunnies(funnies);
    updateParticles();
  }
  return funnies;
}

/// Releases a swarm and every particle.
inline void releaseSwarm(Funnie* funnies) {
  deleteFunnies(funnies);
  deleteParticles();
}
