// Picking by projected head position and depth.
#include "camera/picking.hpp"

#include "numeric/truncate.hpp"
#include "numeric/vector_angle.hpp"
#include "render/funnie_renderer.hpp"

#include <allegro.h>

Funnie* pickFunnie(Funnie* list, int mx, int my) {
  float best = 0.0f; // 0: no candidate yet
  Funnie* result = nullptr;
  for (Funnie* funnie = list; funnie != nullptr; funnie = funnie->next) {
    const FunnieSegment& head = funnie->projectedHead;
    const float depth = head.z;
    if (depth == 0 || (best != 0 && depth >= best)) {
      continue;
    }
    const int radius = truncToInt(circleRadius(funnie->segmentCount, 0, depth, _persp_xscale_f));
    const double dist = hypotenuse(mx - head.x, my - head.y);
    if (dist < radius) {
      result = funnie;
      best = depth;
    }
  }
  return result;
}

Funnie* selectWithLeftButton(Funnie* list, Funnie* selected, bool held, bool wasHeld, int mx,
                             int my) {
  if (!held) {
    return selected;
  }
  const bool newPress = !wasHeld;
  if (newPress || selected == nullptr) {
    return pickFunnie(list, mx, my);
  }
  return selected;
}
