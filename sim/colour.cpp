// Colour brightening for new funnies.
#include "sim/colour.hpp"

#include "numeric/truncate.hpp"

#include <algorithm>

namespace {

std::uint8_t scaleComponent(std::uint8_t component, double divisor) {
  return static_cast<std::uint8_t>(truncToInt(component / divisor)); // in 0..255
}

} // namespace

void normaliseColour(Colour& colour) {
  const std::uint8_t largest = std::max({colour.red, colour.green, colour.blue});
  if (largest == 0) {
    return; // the divisor would be 0: black has nothing to brighten
  }
  const double divisor = largest / 255.0;
  colour.red = scaleComponent(colour.red, divisor);
  colour.green = scaleComponent(colour.green, divisor);
  colour.blue = scaleComponent(colour.blue, divisor);
}
