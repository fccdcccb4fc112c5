// The text overlay in the top-left corner: camera angles and position, the ticks drawing
// took, and the selected funnie's position.
#pragma once

#include "camera/camera.hpp"
#include "sim/funnie_segment.hpp"

#include <allegro.h>

/// Lines 1 to 3: "XR: %i YR: %i", "XM: %f YM: %f ZM: %f", "Drawing takes %i ticks.".
void drawCameraLines(BITMAP* target, const Camera& camera, int ticks);

/// Line 4: "Selected funnie at %i %i %i.", each coordinate cut toward zero.
void drawSelectionLine(BITMAP* target, const FunnieSegment& head);
