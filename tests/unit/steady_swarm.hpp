// A seeded swarm taken to its steady state, and free cameras to look at it from, for the tests
// that draw a realistic frame.
#pragma once

#include "camera/camera.hpp"
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

/// A free-flying camera at (x, y, z) with the given angles.
inline Camera freeCamera(float x, float y, float z, int yaw, int pitch) {
  Camera camera;
  camera.x = x;
  camera.y = y;
  camera.z = z;
  camera.yaw = yaw;
  camera.pitch = pitch;
  return camera;
}
