// The particle renderer: every live particle as one depth-shaded, depth-tested pixel.
#pragma once

#include "render/pixel_path.hpp"

#include <allegro.h>

/// Draws the particles of particleList into `target`, tested against and written into
/// `depthMap` (the particle's exact depth against the stored integer).
void renderParticles(BITMAP* target, ZBUFFER* depthMap, MATRIX_f viewMatrix,
                     PixelPath path = PixelPath::fast);
