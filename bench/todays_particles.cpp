// The heap copy of the particle list and the particle renderer's direct path as they were.
#include "bench/todays_particles.hpp"

#include "numeric/truncate.hpp"
#include "render/depth_plot.hpp"
#include "render/direct_rows.hpp"
#include "render/max_int.hpp"
#include "render/particle_lanes.hpp"

#include <cstdint>

namespace {

constexpr int particleLife = 100;
constexpr int mostEmittedPerTick = 4096; // one per funnie

} // namespace

void copyEmitted(HeapParticles& copy) {
  const Particle* emitted[mostEmittedPerTick]; // not a container: it would allocate
  int count = 0;
  for (const Particle* p = particleList;
       p != nullptr && p->life == particleLife && count < mostEmittedPerTick; p = p->next) {
    emitted[count++] = p;
  }
  while (count > 0) {                                    // the first emitted stands last
    Particle* block = ::new Particle(*emitted[--count]); // the general heap, not the pool
    block->next = copy.first;
    copy.first = block;
  }
}

void updateParticlesAsBefore(HeapParticles& copy) {
  Particle** link = &copy.first;
  while (Particle* particle = *link) {
    particle->position.x += particle->velocity.x;
    particle->position.y += particle->velocity.y;
    particle->position.z += particle->velocity.z;
    if (--particle->life == 0) {
      *link = particle->next;
      ::delete particle;
    } else {
      link = &particle->next;
    }
  }
}

void releaseHeapParticles(HeapParticles& copy) {
  while (Particle* p = copy.first) {
    copy.first = p->next;
    ::delete p;
  }
}

namespace {

constexpr int batchSize = 64;

struct ParticleBatch {
  alignas(16) float x[batchSize];
  alignas(16) float y[batchSize];
  alignas(16) float z[batchSize];
  alignas(16) int red[batchSize];
  alignas(16) int green[batchSize];
  alignas(16) int blue[batchSize];
  int count;
};

const Particle* gatherBatch(const Particle* first, ParticleBatch& batch) {
  int n = 0;
  for (; first != nullptr && n < batchSize; first = first->next, ++n) {
    batch.x[n] = first->position.x;
    batch.y[n] = first->position.y;
    batch.z[n] = first->position.z;
    batch.red[n] = first->colour.red;
    batch.green[n] = first->colour.green;
    batch.blue[n] = first->colour.blue;
  }
  batch.count = n;
  for (; n % laneCount != 0; ++n) {
    batch.x[n] = batch.y[n] = batch.z[n] = 0;
    batch.red[n] = batch.green[n] = batch.blue[n] = 0;
  }
  return first;
}

template <typename Lanes, typename Element> Lanes loadLanes(const Element* from) {
  Lanes lanes;
  __builtin_memcpy(&lanes, from, sizeof lanes);
  return lanes;
}

struct ParticlePixel {
  int px, py;
  float depth;
  std::uint32_t pixel;
};

/// With a jump on every lane: only those that land are appended.
int projectBatch(const ParticleBatch& batch, const MATRIX_f& view, const PixelFormat32& format,
                 int w, int h, ParticlePixel* pixels) {
  int count = 0;
  for (int first = 0; first < batch.count; first += laneCount) {
    const PointLanes world{loadLanes<FloatLanes>(batch.x + first),
                           loadLanes<FloatLanes>(batch.y + first),
                           loadLanes<FloatLanes>(batch.z + first)};
    const PointLanes p = transformLanes(view, world);
    const PixelLanes at = pixelLanes(projectLanes(p), w, h);
    const IntLanes lands = strictlyInViewLanes(p) & at.inside;
    const IntLanes packed = shadedPixelLanes(format, loadLanes<IntLanes>(batch.red + first),
                                             loadLanes<IntLanes>(batch.green + first),
                                             loadLanes<IntLanes>(batch.blue + first), p.z);
    const int lanes = minInt(laneCount, batch.count - first);
    for (int i = 0; i < lanes; ++i) {
      if (lands[i]) {
        pixels[count++] =
            ParticlePixel{at.x[i], at.y[i], p.z[i], static_cast<std::uint32_t>(packed[i])};
      }
    }
  }
  return count;
}

/// With a jump on the depth test, and the depth cut here, one particle at a time.
void plotInRows(const ParticlePixel& at, BITMAP* target, ZBUFFER* depthMap) {
  std::int32_t& stored = depthRow(depthMap, at.py)[at.px];
  if (!passesDepthTest(stored, at.depth)) {
    return;
  }
  pixelRow(target, at.py)[at.px] = at.pixel;
  stored = truncToInt(at.depth);
}

/// At every size.
void prefetchCells(const ParticlePixel* pixels, int count, BITMAP* target, ZBUFFER* depthMap) {
  for (int i = 0; i < count; ++i) {
    __builtin_prefetch(&depthRow(depthMap, pixels[i].py)[pixels[i].px], 1);
    __builtin_prefetch(&pixelRow(target, pixels[i].py)[pixels[i].px], 1);
  }
}

} // namespace

void renderParticlesAsBefore(const HeapParticles& copy, BITMAP* target, ZBUFFER* depthMap,
                             MATRIX_f viewMatrix) {
  set_projection_viewport(0, 0, target->w, target->h);
  ParticleBatch batch;
  ParticlePixel pixels[2][batchSize];
  int counts[2] = {0, 0};
  int current = 0;
  const PixelFormat32 format = currentPixelFormat32();
  const Particle* next = copy.first;
  while (next != nullptr || counts[current] != 0) {
    const int ahead = 1 - current;
    counts[ahead] = 0;
    if (next != nullptr) {
      next = gatherBatch(next, batch);
      counts[ahead] = projectBatch(batch, viewMatrix, format, target->w, target->h, pixels[ahead]);
      prefetchCells(pixels[ahead], counts[ahead], target, depthMap);
    }
    for (int i = 0; i < counts[current]; ++i) {
      plotInRows(pixels[current][i], target, depthMap);
    }
    current = ahead;
  }
}
