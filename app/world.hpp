// What the main routine owns from set-up to shutdown, and the main loop works on.
#pragma once

#include "camera/camera.hpp"
#include "sim/funnie.hpp"

#include <allegro.h>

struct World {
  BITMAP* renderBuffer = nullptr;
  ZBUFFER* depthMap = nullptr;
  Funnie* funnies = nullptr;
  Funnie* selectedFunnie = nullptr; ///< not owning
  bool pickHeld = false;            ///< latch: the left button was down at the last pass
  Camera camera;
};
