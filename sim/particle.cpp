// Emission, drift, expiry and release of the particles.
#include "sim/particle.hpp"

#include "numeric/binary_angle.hpp"
#include "sim/list_walk.hpp"
#include "sim/random.hpp"

Particle* particleList = nullptr;

namespace {

constexpr int particleLife = 100;
constexpr int velocityDivisor = 10;

/// A swarm of 256 funnies at its fullest: 256 new particles before the 256 oldest expire.
constexpr int slotsPerChunk = 256 * particleLife;

SlotPool pool = makeSlotPool(sizeof(Particle), alignof(Particle), slotsPerChunk);

/// A tenth of (offset + component) in 16.16; the integer division truncates toward zero.
float driftComponent(fixed randomOffset, float funnieVelocity) {
  return fixedToFloat((randomOffset + floatToFixed(funnieVelocity)) / velocityDivisor);
}

} // namespace

void* Particle::operator new(std::size_t) {
  return takeSlot(pool);
}

void Particle::operator delete(void* particle) {
  if (particle != nullptr) {
    releaseSlot(pool, particle);
  }
}

const SlotPool& particleSlots() {
  return pool;
}

void resetParticles() {
  particleList = nullptr;
}

void emitParticles(FunnieSegment position, FunnieSegment velocity, Colour colour, int count) {
  for (int n = 0; n < count; ++n) {
    Particle* particle = new Particle;
    particle->position = position;
    particle->velocity.x = driftComponent(cosOfAngle(randomBelow(fullTurn)), velocity.x);
    particle->velocity.y = driftComponent(sinOfAngle(randomBelow(fullTurn)), velocity.y);
    // z takes the sine as y does, not the cosine: each axis has its own independent angle.
    particle->velocity.z = driftComponent(sinOfAngle(randomBelow(fullTurn)), velocity.z);
    particle->colour = colour;
    particle->life = particleLife;
    particle->next = particleList;
    particleList = particle;
  }
}

void updateParticles() {
  Particle** link = &particleList;
  WalkStep step;
  for (Particle* particle = particleList; particle != nullptr;) {
    particle->position.x += particle->velocity.x;
    particle->position.y += particle->velocity.y;
    particle->position.z += particle->velocity.z;
    Particle* const following = followLink(particle, step); // before a release reuses the slot
    if (--particle->life == 0) {
      *link = following;
      delete particle;
    } else {
      link = &particle->next;
    }
    particle = following;
  }
}

void deleteParticles() {
  while (Particle* particle = particleList) {
    particleList = particle->next;
    delete particle;
  }
}
