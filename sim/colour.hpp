// Colours of funnies and their particles, and the brightening each funnie gets at birth.
#pragma once

#include <cstdint>

struct Colour {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

/// Scales the colour in place so that its largest component becomes 255 (254 for some
/// inputs, through the rounded double divisor). Black stays black.
void normaliseColour(Colour& colour);
