// The funnie renderer: each funnie as a chain of depth-shaded, depth-tested filled circles,
// tail first; on the way it records where each head lands on the screen.
#pragma once

#include "render/pixel_path.hpp"
#include "sim/funnie.hpp"

#include <allegro.h>

/// The radius, in pixels before truncation, of the circle of segment `index` of a funnie of
/// `segmentCount` segments at view-space `depth`, with the projection's x scale. Formed in
/// double precision throughout.
double circleRadius(int segmentCount, int index, double depth, double xscale);

/// Draws every funnie of the list into `target` through `depthMap`.
void renderFunnies(Funnie* list, BITMAP* target, ZBUFFER* depthMap, MATRIX_f viewMatrix,
                   PixelPath path = PixelPath::fast);

/// Draws one funnie and writes its projectedHead (depth 0 when the head is not in view).
void renderFunnie(Funnie* funnie, BITMAP* target, ZBUFFER* depthMap, MATRIX_f viewMatrix,
                  PixelPath path = PixelPath::fast);
