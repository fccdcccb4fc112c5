// Picking: the funnie whose head disc, as last drawn, lies under the pointer.
#pragma once

#include "sim/funnie.hpp"

/// The nearest funnie whose drawn head disc strictly covers (mx, my), or null. Reads the
/// projectedHead of the last drawing and the projection scale it was drawn with.
Funnie* pickFunnie(Funnie* list, int mx, int my);
