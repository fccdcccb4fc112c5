// Angles and lengths of 2D vectors, for picking and tracking.
#pragma once

/// The angle of (a, b) from the +a axis towards +b, as a binary angle in 0..255; negative
/// angles come out floored (-26.2 units gives 229).
int vectorAngle(float a, float b);

double hypotenuse(double a, double b);
