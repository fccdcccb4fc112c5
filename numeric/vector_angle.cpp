// Angles and lengths of 2D vectors, in double precision.
#include "numeric/vector_angle.hpp"

#include "numeric/binary_angle.hpp"
#include "numeric/truncate.hpp"

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

/// The angle in radians, in (-pi/2, 3pi/2].
double radiansOf(double a, double b) {
  if (a == 0) {
    if (b > 0) {
      return pi / 2;
    }
    return b < 0 ? 3 * pi / 2 : 0.0;
  }
  const double theta = std::atan(b / a);
  return a < 0 ? theta + pi : theta;
}

} // namespace

int vectorAngle(float a, float b) {
  double units = radiansOf(a, b) * (fullTurn / 2) / pi;
  if (units < 0) {
    units += fullTurn;
  }
  return truncToInt(units);
}

double hypotenuse(double a, double b) {
  return std::sqrt(a * a + b * b);
}
