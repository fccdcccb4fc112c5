// Set-up and shutdown of what the main loop works on.
#pragma once

#include "app/main_loop.hpp"

/// Creates the render buffer, the depth map and the funnies, empties the particle list, puts
/// the camera at the origin and, last, starts the 30 Hz tick timer.
void setUp(World& world);

/// Releases the funnies, the particles, the render buffer and the depth map.
void shutDown(World& world);
