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

/// A component with `darkening` taken off, none below 0.
inline int darken(int component, int darkening) {
  return maxInt(0, component - darkening);
}

/// The pixel value of `colour` darkened, in the library's current colour depth.
inline int shadedColour(Colour colour, int darkening) {
  return makecol(darken(colour.red, darkening), darken(colour.green, darkening),
                 darken(colour.blue, darkening));
}

/// The same as shadedColour while the current colour depth is 32, without makecol's dispatch.
inline int shadedColour32(Colour colour, int darkening) {
  return makecol32(darken(colour.red, darkening), darken(colour.green, darkening),
                   darken(colour.blue, darkening));
}
