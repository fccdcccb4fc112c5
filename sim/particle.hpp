// Particles: short-lived points shed by the funnies, drifting in a straight line until they
// expire after 100 updates. One global list, newest first.
#pragma once

#include "sim/colour.hpp"
#include "sim/funnie_segment.hpp"
#include "sim/slot_pool.hpp"

#include <cstddef>

struct Particle {
  FunnieSegment position; ///< world units
  FunnieSegment velocity; ///< world units per update, fixed at emission
  Colour colour;
  int life; ///< updates left
  Particle* next;

  /// new and delete recycle the slots of expired particles, oldest first: the list then runs
  /// through memory in order, and no tick goes to the general heap once the swarm is full.
  static void* operator new(std::size_t size);
  static void operator delete(void* particle);
};

/// Every live particle, newest first; owns them.
extern Particle* particleList;

/// Empties the list without releasing anything: for start-up, before any particle exists.
void resetParticles();

/// Puts `count` new particles at `position` in front of the list, each drifting at a tenth of
/// `velocity` plus a random offset of at most 1 per axis. A count of 0 or less does nothing.
void emitParticles(FunnieSegment position, FunnieSegment velocity, Colour colour, int count);

/// Moves and ages every particle; those at the end of their life are released in the same walk.
void updateParticles();

/// Releases every particle and leaves the list empty; the slots go back to the heap with them.
void deleteParticles();

/// Where new and delete put the particles, for tests to look at.
const SlotPool& particleSlots();
