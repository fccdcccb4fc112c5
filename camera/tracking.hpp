// Tracking: while a funnie is selected the camera is re-aimed at its head every pass.
#pragma once

#include "camera/camera.hpp"
#include "sim/funnie.hpp"

/// With a funnie selected, writes overlay line 4 into `target` and turns yaw and pitch
/// towards its head (pitch then lies in -64..64). Does nothing when `selected` is null.
void trackSelectedFunnie(Camera& camera, const Funnie* selected, BITMAP* target);
