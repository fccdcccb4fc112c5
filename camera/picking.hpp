// Picking: the funnie whose head disc, as last drawn, lies under the pointer.
#pragma once

#include "sim/funnie.hpp"

/// The nearest funnie whose drawn head disc strictly covers (mx, my), or null. Reads the
/// projectedHead of the last drawing and the projection scale it was drawn with.
Funnie* pickFunnie(Funnie* list, int mx, int my);

/// The selection after a pass with the left button `held` (`wasHeld`: at the pass before). A new
/// press picks afresh, so a press over empty sky clears the selection. While the same press lasts
/// the pick is repeated only until it has selected a funnie: tracking then turns that head away
/// from the pointer, and a further pick would undo the selection the press just made.
Funnie* selectWithLeftButton(Funnie* list, Funnie* selected, bool held, bool wasHeld, int mx,
                             int my);
