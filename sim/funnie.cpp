// Creation, per-tick update and release of funnies.
#include "sim/funnie.hpp"

#include "sim/particle.hpp"
#include "sim/random.hpp"

#include <allegro.h>

namespace {

constexpr int minSegments = 8;
constexpr int segmentCountRange = maxSegmentCount - minSegments + 1;
constexpr float containmentRadius = 512.0f;
constexpr float speedLimit = 5.0f;

float randomStep() {
  return static_cast<float>(randomBelow(3) - 1);
}

/// One unit back towards 0 for a coordinate off the origin's plane.
float pushTowardsOrigin(float coordinate) {
  if (coordinate < 0) {
    return 1.0f;
  }
  if (coordinate > 0) {
    return -1.0f;
  }
  return 0.0f;
}

float limitSpeed(float component) {
  if (component > speedLimit) {
    return speedLimit;
  }
  if (component < -speedLimit) {
    return -speedLimit;
  }
  return component;
}

} // namespace

Funnie::Funnie(Funnie* next)
    : segments(nullptr), velocity{0.0f, 0.0f, 0.0f}, projectedHead{0.0f, 0.0f, 0.0f},
      segmentCount(randomBelow(segmentCountRange) + minSegments), colour{}, next(next) {
  segments = new FunnieSegment[segmentCount]();
  colour.red = static_cast<std::uint8_t>(randomBelow(256));
  colour.green = static_cast<std::uint8_t>(randomBelow(256));
  colour.blue = static_cast<std::uint8_t>(randomBelow(256));
  normaliseColour(colour);
}

Funnie::~Funnie() {
  delete[] segments;
}

void Funnie::update() {
  for (int i = segmentCount - 1; i > 0; --i) {
    segments[i] = segments[i - 1];
  }

  velocity.x += randomStep();
  velocity.y += randomStep();
  velocity.z += randomStep();

  FunnieSegment& head = segments[0];
  if (vector_length_f(head.x, head.y, head.z) > containmentRadius) {
    velocity.x += pushTowardsOrigin(head.x);
    velocity.y += pushTowardsOrigin(head.y);
    velocity.z += pushTowardsOrigin(head.z);
  }

  velocity.x = limitSpeed(velocity.x);
  velocity.y = limitSpeed(velocity.y);
  velocity.z = limitSpeed(velocity.z);

  head.x += velocity.x;
  head.y += velocity.y;
  head.z += velocity.z;

  emitParticles(head, velocity, colour, 1);
}

Funnie* createFunnies(int count) {
  Funnie* list = nullptr;
  for (int n = 0; n < count; ++n) {
    list = new Funnie(list);
  }
  return list;
}

void updateFunnies(Funnie* list) {
  for (Funnie* funnie = list; funnie != nullptr; funnie = funnie->next) {
    funnie->update();
  }
}

void deleteFunnies(Funnie* list) {
  while (list != nullptr) {
    Funnie* next = list->next;
    delete list;
    list = next;
  }
}
