// Tracking: while a funnie is selected the camera is re-aimed at its head every pass.
#pragma once

#include "camera/camera.hpp"
#include "sim/funnie.hpp"

/// Turns yaw and pitch towards the selected funnie's head (pitch then lies in -64..64). Does
/// nothing when `selected` is null.
void trackSelectedFunnie(Camera& camera, const Funnie* selected);
