// The particle path as it was before the particles moved into a slot pool, kept in the
// benchmark only, so that one run shows its tick and particle stage beside the program's:
// every particle a block of its own from the general heap, taken and given back in the order
// the program did it then, and drawn by the direct path as it was, with a jump for every lane
// that lands and on every depth test.
#pragma once

#include "sim/particle.hpp"

#include <allegro.h>

/// A copy of particleList, particle for particle, whose nodes are general-heap blocks.
struct HeapParticles {
  Particle* first = nullptr;
};

/// Between updateFunnies and updateParticles: the particles the funnies have just emitted
/// get blocks of their own, in the order they were emitted, each put in front of `copy`.
void copyEmitted(HeapParticles& copy);

/// updateParticles as it was, on `copy`: the same moves and expiry, so that the copy stays
/// in step, with every expired block given back to the heap in the order the walk meets it.
void updateParticlesAsBefore(HeapParticles& copy);

void releaseHeapParticles(HeapParticles& copy);

/// renderParticles' direct path as it was, drawing `copy`; for 32-bit memory bitmaps of one
/// size, as the benchmark's are.
void renderParticlesAsBefore(const HeapParticles& copy, BITMAP* target, ZBUFFER* depthMap,
                             MATRIX_f viewMatrix);
