// Depth shading shared by the funnie and particle renderers: every colour component loses a
// quarter of the view-space depth, clamped at 0.
#pragma once

#include "numeric/truncate.hpp"
#include "render/max_int.hpp"
#include "sim/colour.hpp"

#include <allegro.h>

/// trunc(0.25 * depth), in single precision.
inline int depthShade(float depth) {
  constexpr float depthShadingFactor = 0.25f;
  return truncToInt(depthShadingFactor * depth);
}

/// The pixel value of `colour` with `darkening` taken off every component, none below 0.
inline int shadedColour(Colour colour, int darkening) {
  return makecol(maxInt(0, colour.red - darkening), maxInt(0, colour.green - darkening),
                 maxInt(0, colour.blue - darkening));
}
