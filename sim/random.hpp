// The simulation's random numbers: the remainder of one fresh draw of the C library's rand.
#pragma once

#include <cstdlib>

/// rand() % n, in 0..n-1.
inline int randomBelow(int n) {
  return std::rand() % n;
}
