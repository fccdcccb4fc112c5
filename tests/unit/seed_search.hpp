// Seeds chosen for what rand gives after them, so that a test can predict random steps.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

/// In a list of wanted draws: a draw whose value does not matter.
constexpr int anyDraw = -1;

/// The first seed whose first draws, reduced `% modulus`, are `wanted` (anyDraw matching every
/// value); fails the test when none below a million is.
inline unsigned seedForDraws(int modulus, const std::vector<int>& wanted) {
  constexpr unsigned searchLimit = 1000000;
  for (unsigned seed = 1; seed < searchLimit; ++seed) {
    std::srand(seed);
    bool matches = true;
    for (int value : wanted) {
      const int draw = std::rand() % modulus;
      matches = matches && (value == anyDraw || draw == value);
    }
    if (matches) {
      return seed;
    }
  }
  ADD_FAILURE() << "no seed gives the wanted draws";
  return 0;
}
