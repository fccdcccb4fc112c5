// The particle path as it was before the particles moved into a slot pool, kept in the
// benchmark only, so that one run shows its particle stage beside the program's: every
// particle a block of its own from the general heap, taken and given back in the order the
// program did it then, and drawn by the direct path as it was, with a jump for every lane
// that lands and on every depth test.
#pragma once

#include "sim/particle.hpp"

#include <allegro.h>

/// A copy of particleList, particle for particle, whose nodes are general-heap blocks.
struct HeapParticles {
  Particle* first = nullptr;
};

/// Brings `copy` in step with particleList after one tick: the tick's new particles get new
/// blocks in the order they were emitted, every position and life is copied, and the blocks of
/// the expired particles are given back in the order the update walk met them.
void followTick(HeapParticles& copy);

void releaseHeapParticles(HeapParticles& copy);

/// renderParticles' direct path as it was, drawing `copy`; for 32-bit memory bitmaps of one
/// size, as the benchmark's are.
void renderParticlesAsBefore(const HeapParticles& copy, BITMAP* target, ZBUFFER* depthMap,
                             MATRIX_f viewMatrix);
