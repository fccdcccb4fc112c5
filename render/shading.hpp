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

/// The depth shade, no more than 255: that already blackens every component, and the cap
/// keeps sums with it within int for a depth as far as a float allows.
inline int cappedDepthShade(float depth) {
  constexpr int maxComponent = 255;
  return minInt(depthShade(depth), maxComponent);
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

/// shadedColour where the colour depth is 32 bits: makecol32 straight away, without
/// makecol's call through the library's switch on the colour depth.
inline int shadedColour32(Colour colour, int darkening) {
  return makecol32(darken(colour.red, darkening), darken(colour.green, darkening),
                   darken(colour.blue, darkening));
}
